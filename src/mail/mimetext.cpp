#include "mail/mimetext.h"

#include <QTimeZone>

namespace {

bool plainAscii(const QString &text)
{
    for (const QChar c : text)
        if (c.unicode() < 0x20 || c.unicode() > 0x7e)
            return false;
    return true;
}

// Encoded words of at most 75 characters: "=?UTF-8?B?" + base64 + "?=" is
// 12 around the payload, so each carries at most 45 bytes (60 base64
// characters); a character's bytes stay in one word.
QList<QByteArray> encodedWords(const QString &text)
{
    QList<QByteArray> words;
    QByteArray chunk;
    auto flush = [&] {
        if (!chunk.isEmpty())
            words << "=?UTF-8?B?" + chunk.toBase64() + "?=";
        chunk.clear();
    };
    for (int i = 0; i < text.size(); ++i) {
        int len = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray bytes = text.mid(i, len).toUtf8();
        i += len - 1;
        if (chunk.size() + bytes.size() > 45)
            flush();
        chunk += bytes;
    }
    flush();
    return words;
}

QByteArray fold(const QList<QByteArray> &words)
{
    return words.join("\r\n ");
}

} // namespace

namespace MimeText {

QByteArray headerValue(const QString &text)
{
    if (plainAscii(text) && text.size() <= 900)
        return text.toLatin1();
    return fold(encodedWords(text));
}

QByteArray phrase(const QString &name)
{
    if (!plainAscii(name))
        return fold(encodedWords(name));
    bool atom = !name.isEmpty();
    for (const QChar c : name)
        if (!(c.isLetterOrNumber() || c == QLatin1Char(' ') || QByteArrayLiteral("!#$%&'*+-/=?^_`{|}~").contains(char(c.unicode()))))
            atom = false;
    if (atom)
        return name.toLatin1();
    QByteArray q = name.toLatin1();
    q.replace('\\', "\\\\").replace('"', "\\\"");
    return '"' + q + '"';
}

QByteArray base64Lines(const QByteArray &data)
{
    const QByteArray b64 = data.toBase64();
    QByteArray out;
    out.reserve(b64.size() + b64.size() / 76 * 2 + 2);
    for (qsizetype i = 0; i < b64.size(); i += 76) {
        out += b64.mid(i, 76);
        out += "\r\n";
    }
    return out;
}

QByteArray fileNameParameters(const QString &param, const QString &fileName)
{
    const QByteArray p = param.toLatin1();
    const QByteArray pct = fileName.toUtf8().toPercentEncoding("!#$&+-.^_`|~");
    QByteArray out = "; " + p + "*=UTF-8''" + pct;
    if (plainAscii(fileName)) {
        QByteArray q = fileName.toLatin1();
        q.replace('\\', "\\\\").replace('"', "\\\"");
        out += ";\r\n " + p + "=\"" + q + '"';
    } else {
        // Many readers take only this form; encoded words in a parameter
        // are not standard but widely understood.
        out += ";\r\n " + p + "=\"" + encodedWords(fileName).join(' ') + '"';
    }
    return out;
}

QByteArray date(const QDateTime &at)
{
    static const char *const days[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
    static const char *const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                         "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    const QDate d = at.date();
    const QTime t = at.time();
    const int offset = at.offsetFromUtc() / 60;
    const int abs = offset < 0 ? -offset : offset;
    return QByteArray(days[d.dayOfWeek() - 1]) + ", " + QByteArray::number(d.day()).rightJustified(2, '0') + ' '
           + months[d.month() - 1] + ' ' + QByteArray::number(d.year()) + ' '
           + t.toString(QStringLiteral("HH:mm:ss")).toLatin1() + ' ' + (offset < 0 ? '-' : '+')
           + QByteArray::number(abs / 60).rightJustified(2, '0') + QByteArray::number(abs % 60).rightJustified(2, '0');
}

} // namespace MimeText
