#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <atomic>

// The SMTP connection of the mail window, over libcurl. "连接" connects
// (greeting, EHLO or HELO, STARTTLS whenever the server offers it) and
// learns the AUTH schemes the server announces; authenticate() then logs
// in with AUTH LOGIN, only over TLS unless the settings allow a login in
// clear text (a server without STARTTLS, or a man in the middle who strips
// it, gets no password); each send() is one transaction on the same
// connection (MAIL FROM, RCPT TO for every address, DATA), reconnecting
// and logging in again by itself should the server have dropped it.
//
// Nothing of the conversation is written anywhere: the only part read is
// the server's replies while connecting, to find its AUTH schemes, and
// the credentials never pass through that reader.
//
// One thread at a time: the window connects, a worker thread sends;
// cancel() may come from any thread.
class SmtpSession
{
public:
    struct Server {
        QString host;
        int port = 25;
        QString user;
        QString password;
        // TLS from the first byte (port 465) instead of STARTTLS.
        bool implicitTls = false;
        // Certificates to trust besides the system's (tests: a throwaway one).
        QString caFile;
        int timeoutSeconds = 30;
        // Send the user name and password over a connection without TLS.
        // Off unless the user ticks it for a server that cannot do better.
        bool allowPlainLogin = false;
    };
    // NotEncrypted: no TLS on the connection and no leave to log in
    // without it; nothing of the credentials was sent.
    enum class Auth { Passed, Refused, Failed, NotEncrypted };
    static const QString kNotEncryptedText;

    SmtpSession();
    ~SmtpSession();
    SmtpSession(const SmtpSession &) = delete;
    SmtpSession &operator=(const SmtpSession &) = delete;

    // Port 465 is the implicit-TLS port; every other gets STARTTLS when
    // the server offers it.
    static bool implicitTlsPort(int port) { return port == 465; }

    // Empty on success, else the reason. Drops a connection held before.
    QString connect(const Server &server);
    bool isConnected() const { return m_connected; }
    // The AUTH schemes of the server's last EHLO reply, upper case.
    const QList<QByteArray> &authSchemes() const { return m_schemes; }
    // Whether the connection runs over TLS (implicit or after STARTTLS).
    bool isEncrypted() const { return m_encrypted; }
    bool offersLogin() const { return m_schemes.contains("LOGIN"); }

    // AUTH LOGIN with the server's user and password. A refusal keeps the
    // connection (sends go out unauthenticated); any other failure drops it.
    Auth authenticate(QString *error);
    bool isAuthenticated() const { return m_authenticated; }

    // One message: from, then every recipient, then the bytes. Empty on
    // success, else the reason (a refused recipient fails the message).
    QString send(const QByteArray &from, const QList<QByteArray> &recipients, const QByteArray &message);

    // Aborts a send under way and every later one until the next connect.
    void cancel() { m_cancelled = true; }
    bool cancelled() const { return m_cancelled; }

    // Says QUIT and closes.
    void disconnect();

private:
    void setUp();
    QString perform();

    void *m_curl = nullptr; // CURL*
    Server m_server;
    QByteArray m_url;
    QByteArray m_replies; // the server's replies while connecting
    QList<QByteArray> m_schemes;
    bool m_connected = false;
    bool m_encrypted = false;
    bool m_authenticated = false;
    std::atomic<bool> m_cancelled{false};
    char m_errorBuffer[256] = {};

    friend int smtpSessionTrace(void *, int, char *, size_t, void *);
};
