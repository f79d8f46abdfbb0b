#include "mail/smtptestserver.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QString script(const char *name)
{
    return QDir(QStringLiteral(BREVIA_SOURCE_DIR "/tests/mail")).filePath(QString::fromLatin1(name));
}

struct CertFiles {
    QTemporaryDir dir;
    QString cert, key;
    CertFiles()
    {
        cert = dir.filePath(QStringLiteral("cert.pem"));
        key = dir.filePath(QStringLiteral("key.pem"));
        QProcess p;
        p.start(QStringLiteral("openssl"),
                {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", key, "-out", cert, "-days", "1", "-subj",
                 "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1"});
        if (!p.waitForFinished(60000) || p.exitCode() != 0)
            cert.clear();
    }
};

CertFiles &certFiles()
{
    static CertFiles files;
    return files;
}

} // namespace

QString SmtpTestServer::certificate() { return certFiles().cert; }
QString SmtpTestServer::privateKey() { return certFiles().key; }

SmtpTestServer::~SmtpTestServer()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(2000);
        }
    }
}

QString SmtpTestServer::start(const Options &o)
{
    QStringList args{script("smtpserver.py"), QStringLiteral("--out"), m_dir.filePath(QStringLiteral("out.jsonl"))};
    if (!o.user.isEmpty())
        args << QStringLiteral("--user") << o.user << QStringLiteral("--password") << o.password
             << QStringLiteral("--mechanisms") << o.mechanisms;
    if (o.starttls || o.implicitTls) {
        if (certificate().isEmpty())
            return QStringLiteral("no certificate: is openssl installed?");
        args << QStringLiteral("--cert") << certificate() << QStringLiteral("--key") << privateKey();
    }
    if (o.implicitTls)
        args << QStringLiteral("--implicit-tls");
    if (o.noEhlo)
        args << QStringLiteral("--no-ehlo");
    for (const QString &r : o.refuse)
        args << QStringLiteral("--refuse") << r;
    m_process.setProcessChannelMode(QProcess::SeparateChannels);
    m_process.start(QStringLiteral("/usr/bin/python3"), args);
    if (!m_process.waitForStarted(10000))
        return m_process.errorString();
    while (m_process.waitForReadyRead(20000) || m_process.canReadLine()) {
        if (!m_process.canReadLine())
            continue;
        const QByteArray line = m_process.readLine().trimmed();
        if (line.startsWith("PORT ")) {
            m_port = line.mid(5).toInt();
            return {};
        }
    }
    return QStringLiteral("the server said nothing: ") + QString::fromUtf8(m_process.readAllStandardError());
}

QStringList SmtpTestServer::logins() const
{
    QFile f(m_dir.filePath(QStringLiteral("out.jsonl.logins")));
    QStringList out;
    if (!f.open(QIODevice::ReadOnly))
        return out;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (!o.isEmpty())
            out << o["login"].toString() + (o["tls"].toBool() ? QString() : QStringLiteral(" (clear)"));
    }
    return out;
}

QJsonArray SmtpTestServer::messages(QString *error) const
{
    const QString out = m_dir.filePath(QStringLiteral("out.jsonl"));
    if (!QFile::exists(out))
        return {};
    QProcess p;
    p.start(QStringLiteral("/usr/bin/python3"), {script("readmail.py"), out});
    p.waitForFinished(60000);
    const QJsonDocument doc = QJsonDocument::fromJson(p.readAllStandardOutput());
    if (error && !doc.isArray())
        *error = QString::fromUtf8(p.readAllStandardError());
    return doc.array();
}
