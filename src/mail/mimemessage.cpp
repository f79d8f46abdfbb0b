#include "mail/mimemessage.h"

#include "mail/mimetext.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeDatabase>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <atomic>

namespace {

QByteArray addressList(const QList<MailAddress> &list)
{
    QList<QByteArray> parts;
    for (const MailAddress &a : list)
        parts << a.headerText();
    return parts.join(",\r\n ");
}

QByteArray crlfText(const QString &text)
{
    QString t = text;
    t.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t.toUtf8().replace('\n', "\r\n");
}

QByteArray randomToken(int bytes)
{
    QByteArray raw(bytes, Qt::Uninitialized);
    QRandomGenerator::global()->generate(raw.begin(), raw.end());
    return raw.toHex();
}

bool decodesAs(const char *encoding, const QByteArray &data)
{
    QStringDecoder decode(encoding);
    if (!decode.isValid())
        return false;
    const QString text = decode.decode(data); // converted only when taken as text
    Q_UNUSED(text);
    return !decode.hasError();
}

// A text file says which characters its bytes are, or a mail program shows
// a Chinese file as garbage when it displays it inline. The clerks' files
// are UTF-8 or GB18030; one that reads as neither goes as plain bytes.
QByteArray attachmentType(const QMimeType &type, const QByteArray &data)
{
    const QByteArray name = type.name().toLatin1();
    if (!name.startsWith("text/") && !type.inherits(QStringLiteral("text/plain")))
        return name;
    if (decodesAs("UTF-8", data))
        return name + "; charset=UTF-8";
    if (decodesAs("GB18030", data))
        return name + "; charset=GB18030";
    return "application/octet-stream";
}

} // namespace

MimeMessage::MimeMessage(const MailMessage &m)
{
    const int at = m.sender.address.lastIndexOf(QLatin1Char('@'));
    m_idDomain = at >= 0 ? m.sender.address.mid(at + 1).toUtf8() : QByteArray("localhost");
    if (m_idDomain.isEmpty())
        m_idDomain = "localhost";

    m_head = "From: " + m.sender.headerText() + "\r\n";
    if (!m.cc.isEmpty())
        m_head += "Cc: " + addressList(m.cc) + "\r\n";
    m_head += "Subject: " + MimeText::headerValue(m.subject) + "\r\n";
    m_head += "MIME-Version: 1.0\r\n";

    const QByteArray text = "Content-Type: text/plain; charset=UTF-8\r\n"
                            "Content-Transfer-Encoding: base64\r\n\r\n"
                            + MimeText::base64Lines(crlfText(m.body));
    if (m.attachments.isEmpty()) {
        m_content = text;
        return;
    }
    const QByteArray boundary = "=_brevia_" + randomToken(12);
    m_content = "Content-Type: multipart/mixed;\r\n boundary=\"" + boundary + "\"\r\n\r\n"
                "This is a multi-part message in MIME format.\r\n";
    m_content += "--" + boundary + "\r\n" + text;
    QMimeDatabase types;
    for (const QString &path : m.attachments) {
        QFile f(path);
        if (!f.open(QIODevice::ReadOnly)) {
            m_error = path + QStringLiteral("：") + f.errorString();
            return;
        }
        const QByteArray data = f.readAll();
        if (f.error() != QFileDevice::NoError) {
            m_error = path + QStringLiteral("：") + f.errorString();
            return;
        }
        const QString name = QFileInfo(path).fileName();
        const QByteArray type = attachmentType(types.mimeTypeForFileNameAndData(name, data), data);
        m_content += "--" + boundary + "\r\n";
        m_content += "Content-Type: " + type + MimeText::fileNameParameters(QStringLiteral("name"), name) + "\r\n";
        m_content += "Content-Transfer-Encoding: base64\r\n";
        m_content += "Content-Disposition: attachment" + MimeText::fileNameParameters(QStringLiteral("filename"), name)
                     + "\r\n\r\n";
        m_content += MimeText::base64Lines(data);
    }
    m_content += "--" + boundary + "--\r\n";
}

QByteArray MimeMessage::bytesFor(const MailAddress &to, const QDateTime &date) const
{
    static std::atomic<quint32> serial{0};
    QByteArray out;
    out.reserve(m_head.size() + m_content.size() + 256);
    out += "Date: " + MimeText::date(date) + "\r\n";
    out += m_head;
    out += "To: " + to.headerText() + "\r\n";
    out += "Message-ID: <" + QByteArray::number(date.toMSecsSinceEpoch()) + '.' + QByteArray::number(++serial) + '.'
           + randomToken(6) + '@' + m_idDomain + ">\r\n";
    out += m_content;
    return out;
}
