// A mass mailing's throughput: 1,000 recipients to an SMTP sink on
// loopback, sent the way "发送" sends them (the session's connection, each
// message made for its recipient with its own Date and Message-ID, the
// progress reported per message) against a bare libcurl loop that sends
// the same, already made, messages over one handle. The sink runs in this
// process, so both see the same server; rounds alternate so that neither
// profits from a warmer machine. The mailing should keep at least 90 % of
// the bare loop's rate.
//
//   bench_mail [RECIPIENTS]
#include "mail/mailsendrun.h"
#include "mail/mimemessage.h"
#include "mail/smtpsession.h"

#include <curl/curl.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

constexpr int kRounds = 9;

// A minimal SMTP server: accepts everything, keeps nothing but a count.
class Sink
{
public:
    Sink()
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        int one = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof a;
        if (::bind(m_fd, reinterpret_cast<sockaddr *>(&a), len) != 0 || ::listen(m_fd, 16) != 0)
            std::perror("sink");
        ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&a), &len);
        m_port = ntohs(a.sin_port);
        m_accept = std::thread([this] { acceptLoop(); });
    }
    ~Sink()
    {
        ::shutdown(m_fd, SHUT_RDWR);
        ::close(m_fd);
        m_accept.join();
        for (std::thread &t : m_sessions)
            t.join();
    }
    int port() const { return m_port; }
    long messages() const { return m_messages; }

private:
    void acceptLoop()
    {
        for (;;) {
            const int c = ::accept(m_fd, nullptr, nullptr);
            if (c < 0)
                return;
            m_sessions.emplace_back([this, c] { serve(c); });
        }
    }
    static void say(int c, const char *text) { (void)!::write(c, text, std::strlen(text)); }
    void serve(int c)
    {
        say(c, "220 sink ready\r\n");
        std::string buf;
        bool data = false;
        char chunk[65536];
        for (;;) {
            const ssize_t n = ::read(c, chunk, sizeof chunk);
            if (n <= 0)
                break;
            buf.append(chunk, size_t(n));
            for (;;) {
                if (data) {
                    const size_t end = buf.find("\r\n.\r\n");
                    if (end == std::string::npos) {
                        if (buf.size() > 8)
                            buf.erase(0, buf.size() - 8);
                        break;
                    }
                    buf.erase(0, end + 5);
                    data = false;
                    ++m_messages;
                    say(c, "250 queued\r\n");
                    continue;
                }
                const size_t eol = buf.find("\r\n");
                if (eol == std::string::npos)
                    break;
                const std::string line = buf.substr(0, eol);
                buf.erase(0, eol + 2);
                const std::string verb = line.substr(0, 4);
                if (verb == "EHLO")
                    say(c, "250-sink\r\n250-8BITMIME\r\n250 SIZE 52428800\r\n");
                else if (verb == "DATA") {
                    say(c, "354 go ahead\r\n");
                    data = true;
                } else if (verb == "QUIT") {
                    say(c, "221 bye\r\n");
                    ::close(c);
                    return;
                } else
                    say(c, "250 ok\r\n");
            }
        }
        ::close(c);
    }

    int m_fd = -1;
    int m_port = 0;
    std::thread m_accept;
    std::vector<std::thread> m_sessions;
    std::atomic<long> m_messages{0};
};

struct Upload {
    const QByteArray *bytes;
    qsizetype pos = 0;
};

size_t readUpload(char *buffer, size_t size, size_t count, void *user)
{
    auto *u = static_cast<Upload *>(user);
    const size_t n = std::min(size * count, size_t(u->bytes->size() - u->pos));
    std::memcpy(buffer, u->bytes->constData() + u->pos, n);
    u->pos += qsizetype(n);
    return n;
}

size_t discard(char *, size_t size, size_t count, void *) { return size * count; }

// The reference: one handle, the messages already made, nothing else.
double bareLoop(int port, const QList<QByteArray> &messages, const QList<QByteArray> &rcpts)
{
    CURL *c = curl_easy_init();
    const QByteArray url = "smtp://127.0.0.1:" + QByteArray::number(port);
    curl_easy_setopt(c, CURLOPT_URL, url.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, "<office@example.cn>");
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, discard);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < messages.size(); ++i) {
        curl_slist *list = curl_slist_append(nullptr, rcpts[i].constData());
        list = curl_slist_append(list, "<wang@example.cn>");
        Upload u{&messages[i]};
        curl_easy_setopt(c, CURLOPT_MAIL_RCPT, list);
        curl_easy_setopt(c, CURLOPT_READDATA, &u);
        curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, curl_off_t(messages[i].size()));
        if (curl_easy_perform(c) != CURLE_OK)
            std::fprintf(stderr, "bare loop: message %d failed\n", i);
        curl_slist_free_all(list);
    }
    const double s = t.nsecsElapsed() / 1e9;
    curl_easy_cleanup(c);
    return s;
}

// What "发送" does once the dialogs are done.
double mailing(int port, const MimeMessage &mime, const MailMessage &m, const QList<MailAddress> &entries)
{
    SmtpSession session;
    QElapsedTimer t;
    t.start();
    if (!session.connect({QStringLiteral("127.0.0.1"), port, {}, {}, false, {}, 30}).isEmpty())
        std::fprintf(stderr, "mailing: no connection\n");
    MailSendRun run(&session, mime, m.sender, m.copies(), entries);
    int failed = 0;
    QObject::connect(&run, &MailSendRun::entryFailed, [&failed] { ++failed; });
    run.run();
    session.disconnect();
    if (failed)
        std::fprintf(stderr, "mailing: %d failed\n", failed);
    return t.nsecsElapsed() / 1e9;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    curl_global_init(CURL_GLOBAL_DEFAULT);

    QTemporaryDir dir;
    const QString attachment = dir.filePath(QStringLiteral("服务合同（范本）.txt"));
    {
        QFile f(attachment);
        f.open(QIODevice::WriteOnly);
        f.write(QString(QStringLiteral("甲方乙方服务内容及费用。")).repeated(200).toUtf8());
    }
    MailMessage m;
    m.sender = {QStringLiteral("阳光家政服务中心"), QStringLiteral("office@example.cn")};
    m.subject = QStringLiteral("关于春节期间家政服务安排的通知");
    m.body = QString(QStringLiteral("尊敬的客户：春节期间服务照常，详情请见附件。\n")).repeated(20);
    m.cc = {{QStringLiteral("王经理"), QStringLiteral("wang@example.cn")}};
    m.attachments = {attachment};
    const MimeMessage mime(m);
    QList<MailAddress> entries;
    QList<QByteArray> messages, rcpts;
    for (int i = 0; i < count; ++i) {
        entries << MailAddress{QStringLiteral("联系人%1").arg(i), QStringLiteral("c%1@example.cn").arg(i)};
        messages << mime.bytesFor(entries.last(), QDateTime::currentDateTime());
        rcpts << entries.last().envelopeText();
    }

    Sink sink;
    std::vector<double> bare, ours;
    bareLoop(sink.port(), messages.mid(0, 20), rcpts.mid(0, 20)); // warm-up
    for (int r = 0; r < kRounds; ++r) {
        bare.push_back(bareLoop(sink.port(), messages, rcpts));
        ours.push_back(mailing(sink.port(), mime, m, entries));
    }
    const double b = median(bare), o = median(ours);
    std::printf("%d recipients, %lld bytes a message, median of %d rounds\n", count,
                static_cast<long long>(messages.first().size()), kRounds);
    std::printf("bare libcurl loop: %8.3f s  %8.0f messages/s\n", b, count / b);
    std::printf("mass mailing:      %8.3f s  %8.0f messages/s\n", o, count / o);
    std::printf("mailing / bare throughput: %.1f %%\n", 100.0 * b / o);
    std::printf("messages the sink received: %ld\n", sink.messages());
    return 0;
}
