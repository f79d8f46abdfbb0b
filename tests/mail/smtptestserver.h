#pragma once

#include <QJsonArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// A real SMTP server (aiosmtpd) on loopback, started for one test, and
// what it received as Python's mail parser reads it.
class SmtpTestServer
{
public:
    struct Options {
        QString user;     // AUTH offered and checked when set
        QString password;
        QString mechanisms = QStringLiteral("LOGIN,PLAIN");
        bool starttls = false;
        bool implicitTls = false;
        bool noEhlo = false;
        QStringList refuse; // recipients answered 550

        Options &login(const QString &u, const QString &p, const QString &m = QStringLiteral("LOGIN,PLAIN"))
        {
            user = u;
            password = p;
            mechanisms = m;
            return *this;
        }
        Options &withStarttls() { starttls = true; return *this; }
        Options &withImplicitTls() { implicitTls = true; return *this; }
        Options &withoutEhlo() { noEhlo = true; return *this; }
        Options &refusing(const QString &address) { refuse << address; return *this; }
    };
    using O = Options;

    SmtpTestServer() = default;
    ~SmtpTestServer();

    // Empty on success, else why the server did not come up.
    QString start(const Options &o);
    int port() const { return m_port; }
    // Every message accepted so far, parsed; an empty array on failure
    // with the reason in error.
    QJsonArray messages(QString *error = nullptr) const;
    // Every login the server was sent, in order: "clerk" over TLS,
    // "clerk (clear)" without.
    QStringList logins() const;

    // A throwaway certificate for localhost and 127.0.0.1, made once per
    // test run with openssl; empty when it could not be made.
    static QString certificate();
    static QString privateKey();

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    int m_port = 0;
};
