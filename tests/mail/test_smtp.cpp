// The SMTP session against a real server on loopback: plain, with AUTH
// LOGIN, with STARTTLS and with TLS from the first byte; a refused login,
// a refused recipient and a server that knows no EHLO.
#include "mail/mimemessage.h"
#include "mail/smtpsession.h"
#include "mail/smtptestserver.h"

#include <gtest/gtest.h>

#include <QJsonObject>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using O = SmtpTestServer::Options;

struct ServerCase {
    const char *name;
    SmtpTestServer::Options server;
    bool clientImplicitTls;
    bool offersLogin;     // the client should see AUTH LOGIN
    const char *password; // what the client logs in with
    SmtpSession::Auth auth;
    bool tls;             // the message travelled encrypted
    bool authenticated;   // the server saw a login
    bool allowPlainLogin; // the settings allow a login without TLS
    QStringList logins;   // what the server was sent, "(clear)" without TLS
};

const ServerCase kCases[] = {
    {"plain", O(), false, false, "", SmtpSession::Auth::Passed, false, false, false, {}},
    // AUTH offered without STARTTLS: no password goes out in clear unless
    // the settings say so.
    {"authLogin", O().login("clerk", "s3cret"), false, true, "s3cret", SmtpSession::Auth::NotEncrypted, false, false,
     false, {}},
    {"authLoginAllowed", O().login("clerk", "s3cret"), false, true, "s3cret", SmtpSession::Auth::Passed, false, true,
     true, {"clerk (clear)"}},
    {"starttls", O().login("clerk", "s3cret").withStarttls(), false, true, "s3cret", SmtpSession::Auth::Passed, true,
     true, false, {"clerk"}},
    {"implicitTls", O().login("clerk", "s3cret").withImplicitTls(), true, true, "s3cret",
     SmtpSession::Auth::Passed, true, true, false, {"clerk"}},
    {"plainOnly", O().login("clerk", "s3cret", "PLAIN"), false, false, "", SmtpSession::Auth::Passed, false, false,
     false, {}},
    {"noEhlo", O().withoutEhlo(), false, false, "", SmtpSession::Auth::Passed, false, false, false, {}},
    {"wrongPassword", O().login("clerk", "s3cret").withStarttls(), false, true, "guess", SmtpSession::Auth::Refused,
     true, false, false, {"clerk"}},
    {"wrongPasswordAllowedInClear", O().login("clerk", "s3cret"), false, true, "guess", SmtpSession::Auth::Refused,
     false, false, true, {"clerk (clear)"}},
};

class SmtpSessionTest : public ::testing::TestWithParam<ServerCase>
{
};

QByteArray message(const QString &to)
{
    MailMessage m;
    m.sender = {{}, QStringLiteral("office@example.cn")};
    m.subject = QStringLiteral("测试");
    m.body = QStringLiteral("正文");
    return MimeMessage(m).bytesFor({{}, to}, QDateTime::currentDateTime());
}

TEST_P(SmtpSessionTest, ConnectsLogsInAndSends)
{
    const ServerCase &c = GetParam();
    SmtpTestServer server;
    const QString started = server.start(c.server);
    ASSERT_TRUE(started.isEmpty()) << started.toStdString();

    SmtpSession s;
    SmtpSession::Server settings{QStringLiteral("127.0.0.1"), server.port(), QStringLiteral("clerk"),
                                 QString::fromLatin1(c.password), c.clientImplicitTls,
                                 SmtpTestServer::certificate(), 10, c.allowPlainLogin};
    const QString error = s.connect(settings);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_TRUE(s.isConnected());
    EXPECT_EQ(s.offersLogin(), c.offersLogin);
    if (s.offersLogin()) {
        QString why;
        EXPECT_EQ(s.authenticate(&why), c.auth) << why.toStdString();
        EXPECT_TRUE(s.isConnected()) << "a refused login keeps the connection";
        if (c.auth == SmtpSession::Auth::NotEncrypted) {
            EXPECT_EQ(why, SmtpSession::kNotEncryptedText);
        }
    }
    EXPECT_EQ(s.isEncrypted(), c.tls);
    for (const char *to : {"one@example.cn", "two@example.cn"})
        EXPECT_EQ(s.send("<office@example.cn>", {QByteArray("<") + to + ">"}, message(QString::fromLatin1(to))), "")
            << to;
    s.disconnect();

    QString readError;
    const QJsonArray got = server.messages(&readError);
    ASSERT_EQ(got.size(), 2) << readError.toStdString();
    for (const QJsonValue &v : got) {
        const QJsonObject m = v.toObject();
        EXPECT_EQ(m["from"].toString(), "office@example.cn");
        EXPECT_EQ(m["tls"].toBool(), c.tls);
        EXPECT_EQ(m["auth"].toBool(), c.authenticated);
        EXPECT_EQ(m["subject"].toString(), QStringLiteral("测试"));
    }
    EXPECT_EQ(server.logins(), c.logins);
}

INSTANTIATE_TEST_SUITE_P(Servers, SmtpSessionTest, ::testing::ValuesIn(kCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(SmtpSessionFailures, ARefusedRecipientFailsItsMessageOnly)
{
    SmtpTestServer server;
    ASSERT_EQ(server.start(O().login("clerk", "s3cret").refusing("gone@example.cn")), "");
    SmtpSession s;
    ASSERT_EQ(s.connect({"127.0.0.1", server.port(), "clerk", "s3cret", false, {}, 10, true}), "");
    QString why;
    ASSERT_EQ(s.authenticate(&why), SmtpSession::Auth::Passed) << why.toStdString();
    EXPECT_EQ(s.send("<office@example.cn>", {"<a@example.cn>"}, message("a@example.cn")), "");
    EXPECT_NE(s.send("<office@example.cn>", {"<b@example.cn>", "<gone@example.cn>"}, message("b@example.cn")), "");
    // The next message goes out again, logged in again on a new connection.
    EXPECT_EQ(s.send("<office@example.cn>", {"<c@example.cn>"}, message("c@example.cn")), "");
    const QJsonArray got = server.messages();
    ASSERT_EQ(got.size(), 2);
    EXPECT_EQ(got[0].toObject()["rcpt"].toArray().first().toString(), "a@example.cn");
    EXPECT_EQ(got[1].toObject()["rcpt"].toArray().first().toString(), "c@example.cn");
    EXPECT_TRUE(got[1].toObject()["auth"].toBool());
}

TEST(SmtpSessionFailures, AnUntrustedCertificateIsNoConnection)
{
    // STARTTLS offered with a certificate nobody vouches for: refusing is
    // the only safe answer, never a quiet fall-back to clear text.
    SmtpTestServer server;
    ASSERT_EQ(server.start(O().login("clerk", "s3cret").withStarttls()), "");
    SmtpSession s;
    EXPECT_NE(s.connect({"127.0.0.1", server.port(), "clerk", "s3cret", false, {}, 10}), "");
    EXPECT_FALSE(s.isConnected());
}

TEST(SmtpSessionFailures, NobodyListening)
{
    // A port that was free a moment ago and is closed again.
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof addr;
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr *>(&addr), len), 0);
    ASSERT_EQ(::getsockname(fd, reinterpret_cast<sockaddr *>(&addr), &len), 0);
    const int port = ntohs(addr.sin_port);
    ::close(fd);
    SmtpSession s;
    EXPECT_NE(s.connect({"127.0.0.1", port, "u", "p", false, {}, 5}), "");
    EXPECT_FALSE(s.isConnected());
    EXPECT_NE(s.send("<a@b.cn>", {"<c@d.cn>"}, "x"), "");
}

} // namespace
