#include "mail/smtpsession.h"

#include <curl/curl.h>

#include <cstring>
#include <mutex>

namespace {

CURL *handle(void *p) { return static_cast<CURL *>(p); }

size_t discardReply(char *, size_t size, size_t count, void *) { return size * count; }

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

int progress(void *user, curl_off_t, curl_off_t, curl_off_t, curl_off_t)
{
    return static_cast<SmtpSession *>(user)->cancelled() ? 1 : 0;
}

// The AUTH schemes of the last EHLO reply. A 220 line (the greeting, or
// the go-ahead of STARTTLS, after which the client says EHLO again) begins
// a new conversation and forgets what was announced before it.
QList<QByteArray> announcedSchemes(const QByteArray &replies)
{
    QList<QByteArray> schemes;
    for (QByteArray line : replies.split('\n')) {
        line = line.trimmed();
        if (line.startsWith("220")) {
            schemes.clear();
            continue;
        }
        if (line.size() < 4 || !line.startsWith("250"))
            continue;
        const QByteArray rest = line.mid(4).trimmed().toUpper();
        if (!rest.startsWith("AUTH") || rest.size() < 5 || (rest[4] != ' ' && rest[4] != '='))
            continue;
        for (const QByteArray &s : rest.mid(5).simplified().split(' '))
            if (!s.isEmpty() && !schemes.contains(s))
                schemes << s;
    }
    return schemes;
}

// Whether STARTTLS went through: its 220 go-ahead follows the EHLO reply
// that offered it (the only other 220 is the greeting, before any 250).
// libcurl refuses to go on when the handshake after it fails.
bool startedTls(const QByteArray &replies)
{
    bool afterEhlo = false;
    for (QByteArray line : replies.split('\n')) {
        line = line.trimmed();
        if (line.startsWith("250"))
            afterEhlo = true;
        else if (line.startsWith("220") && afterEhlo)
            return true;
    }
    return false;
}

} // namespace

const QString SmtpSession::kNotEncryptedText =
    QStringLiteral("对不起，该服务器不支持加密连接（STARTTLS），用户名和密码未发送！\n"
                   "如确需以明文发送密码，请在服务器设置中勾选“允许不加密发送密码”。");

// Reads the server's replies only; what the client says (the credentials
// among it) is never looked at.
int smtpSessionTrace(void *, int type, char *data, size_t size, void *user)
{
    if (type == CURLINFO_HEADER_IN)
        static_cast<SmtpSession *>(user)->m_replies.append(data, qsizetype(size));
    return 0;
}

namespace {
int trace(CURL *c, curl_infotype type, char *data, size_t size, void *user)
{
    return smtpSessionTrace(c, int(type), data, size, user);
}
} // namespace

SmtpSession::SmtpSession()
{
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

SmtpSession::~SmtpSession()
{
    disconnect();
}

void SmtpSession::setUp()
{
    CURL *c = curl_easy_init();
    m_curl = c;
    m_errorBuffer[0] = 0;
    curl_easy_setopt(c, CURLOPT_ERRORBUFFER, m_errorBuffer);
    curl_easy_setopt(c, CURLOPT_URL, m_url.constData());
    // STARTTLS whenever the server offers it, so that the password never
    // crosses the network in clear where the server could have protected it.
    curl_easy_setopt(c, CURLOPT_USE_SSL, long(m_server.implicitTls ? CURLUSESSL_ALL : CURLUSESSL_TRY));
    if (!m_server.caFile.isEmpty())
        curl_easy_setopt(c, CURLOPT_CAINFO, m_server.caFile.toLocal8Bit().constData());
    curl_easy_setopt(c, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(c, CURLOPT_CONNECTTIMEOUT, long(m_server.timeoutSeconds));
    curl_easy_setopt(c, CURLOPT_SERVER_RESPONSE_TIMEOUT, long(m_server.timeoutSeconds));
    curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, discardReply);
    curl_easy_setopt(c, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(c, CURLOPT_XFERINFOFUNCTION, progress);
    curl_easy_setopt(c, CURLOPT_XFERINFODATA, this);
    // The connection of the login replaces the one without it.
    curl_easy_setopt(c, CURLOPT_MAXCONNECTS, 1L);
}

QString SmtpSession::perform()
{
    m_errorBuffer[0] = 0;
    const CURLcode rc = curl_easy_perform(handle(m_curl));
    if (rc == CURLE_OK)
        return {};
    if (rc == CURLE_ABORTED_BY_CALLBACK)
        return QStringLiteral("已取消");
    QString reason = QString::fromLocal8Bit(m_errorBuffer).trimmed();
    if (reason.isEmpty())
        reason = QString::fromLatin1(curl_easy_strerror(rc));
    return reason;
}

QString SmtpSession::connect(const Server &server)
{
    disconnect();
    m_server = server;
    m_cancelled = false;
    m_schemes.clear();
    m_replies.clear();
    if (server.host.trimmed().isEmpty() || server.port <= 0 || server.port > 65535)
        return QStringLiteral("服务器地址或端口号不正确");
    QString host = server.host.trimmed();
    if (host.contains(QLatin1Char(':')) && !host.startsWith(QLatin1Char('[')))
        host = QLatin1Char('[') + host + QLatin1Char(']'); // an IPv6 address
    m_url = (server.implicitTls ? QByteArray("smtps://") : QByteArray("smtp://")) + host.toUtf8() + ':'
            + QByteArray::number(server.port);
    setUp();
    CURL *c = handle(m_curl);
    curl_easy_setopt(c, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, trace);
    curl_easy_setopt(c, CURLOPT_DEBUGDATA, this);
    // A transaction-free command: the connection it opens stays for the sends.
    curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, "NOOP");
    const QString error = perform();
    curl_easy_setopt(c, CURLOPT_VERBOSE, 0L);
    curl_easy_setopt(c, CURLOPT_DEBUGFUNCTION, nullptr);
    m_schemes = announcedSchemes(m_replies);
    m_encrypted = server.implicitTls || startedTls(m_replies);
    m_replies.clear();
    if (!error.isEmpty()) {
        disconnect();
        return error;
    }
    m_connected = true;
    return {};
}

SmtpSession::Auth SmtpSession::authenticate(QString *error)
{
    if (!m_connected) {
        *error = QStringLiteral("未连接到服务器");
        return Auth::Failed;
    }
    if (!m_server.allowPlainLogin && !m_encrypted) {
        // Kept connected, as after a refused login: sends go without one.
        *error = kNotEncryptedText;
        return Auth::NotEncrypted;
    }
    CURL *c = handle(m_curl);
    // The login may run on a new connection (libcurl keeps connections
    // per user), and so may every later send after a failure: each must
    // have TLS again before the credentials go out, or stop there.
    if (!m_server.allowPlainLogin)
        curl_easy_setopt(c, CURLOPT_USE_SSL, long(CURLUSESSL_ALL));
    curl_easy_setopt(c, CURLOPT_USERNAME, m_server.user.toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_PASSWORD, m_server.password.toUtf8().constData());
    curl_easy_setopt(c, CURLOPT_LOGIN_OPTIONS, "AUTH=LOGIN");
    curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, "NOOP");
    m_errorBuffer[0] = 0;
    const CURLcode rc = curl_easy_perform(c);
    if (rc == CURLE_OK) {
        m_authenticated = true;
        return Auth::Passed;
    }
    *error = QString::fromLocal8Bit(m_errorBuffer).trimmed();
    if (error->isEmpty())
        *error = QString::fromLatin1(curl_easy_strerror(rc));
    if (rc == CURLE_USE_SSL_FAILED) {
        *error = kNotEncryptedText;
        disconnect();
        return Auth::NotEncrypted;
    }
    if (rc == CURLE_LOGIN_DENIED) {
        // Still connected, as before the attempt: later sends go without a login.
        curl_easy_setopt(c, CURLOPT_USERNAME, nullptr);
        curl_easy_setopt(c, CURLOPT_PASSWORD, nullptr);
        curl_easy_setopt(c, CURLOPT_LOGIN_OPTIONS, nullptr);
        return Auth::Refused;
    }
    disconnect();
    return Auth::Failed;
}

QString SmtpSession::send(const QByteArray &from, const QList<QByteArray> &recipients, const QByteArray &message)
{
    if (!m_connected)
        return QStringLiteral("未连接到服务器");
    if (m_cancelled)
        return QStringLiteral("已取消");
    if (recipients.isEmpty())
        return QStringLiteral("没有收件人");
    CURL *c = handle(m_curl);
    curl_slist *rcpt = nullptr;
    for (const QByteArray &r : recipients)
        rcpt = curl_slist_append(rcpt, r.constData());
    Upload upload{&message};
    curl_easy_setopt(c, CURLOPT_CUSTOMREQUEST, nullptr);
    curl_easy_setopt(c, CURLOPT_MAIL_FROM, from.constData());
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(c, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(c, CURLOPT_READFUNCTION, readUpload);
    curl_easy_setopt(c, CURLOPT_READDATA, &upload);
    curl_easy_setopt(c, CURLOPT_INFILESIZE_LARGE, curl_off_t(message.size()));
    const QString error = perform();
    curl_easy_setopt(c, CURLOPT_MAIL_RCPT, nullptr);
    curl_easy_setopt(c, CURLOPT_READDATA, nullptr);
    curl_slist_free_all(rcpt);
    return error;
}

void SmtpSession::disconnect()
{
    if (m_curl)
        curl_easy_cleanup(handle(m_curl));
    m_curl = nullptr;
    m_connected = false;
    m_encrypted = false;
    m_authenticated = false;
}
