#include "mail/mailaddress.h"

#include "mail/mimetext.h"

namespace {

MailAddress parseOne(QString entry)
{
    entry = entry.trimmed();
    MailAddress a;
    const int open = entry.lastIndexOf(QLatin1Char('<'));
    const int close = entry.lastIndexOf(QLatin1Char('>'));
    if (open >= 0 && close > open) {
        a.address = entry.mid(open + 1, close - open - 1).trimmed();
        QString name = entry.left(open).trimmed();
        if (name.size() >= 2 && name.startsWith(QLatin1Char('"')) && name.endsWith(QLatin1Char('"')))
            name = name.mid(1, name.size() - 2).replace(QLatin1String("\\\""), QLatin1String("\""));
        a.name = name;
    } else {
        a.address = entry;
    }
    return a;
}

} // namespace

QList<MailAddress> MailAddress::parseList(const QString &text)
{
    QList<MailAddress> out;
    QString current;
    bool quoted = false;
    bool angled = false;
    auto flush = [&] {
        const MailAddress a = parseOne(current);
        if (!a.address.isEmpty())
            out << a;
        current.clear();
    };
    for (const QChar c : text) {
        if (c == QLatin1Char('"') && !angled)
            quoted = !quoted;
        else if (c == QLatin1Char('<') && !quoted)
            angled = true;
        else if (c == QLatin1Char('>') && !quoted)
            angled = false;
        if ((c == QLatin1Char(',') || c == QLatin1Char(';') || c == QChar(0xFF0C) || c == QChar(0xFF1B)) && !quoted
            && !angled) {
            flush();
            continue;
        }
        current += c;
    }
    flush();
    return out;
}

bool MailAddress::isUsable() const
{
    const int at = address.indexOf(QLatin1Char('@'));
    if (at <= 0 || at != address.lastIndexOf(QLatin1Char('@')) || at == address.size() - 1)
        return false;
    for (const QChar c : address)
        if (c.isSpace() || c == QLatin1Char('<') || c == QLatin1Char('>') || c.unicode() < 0x20)
            return false;
    return true;
}

QByteArray MailAddress::headerText() const
{
    const QByteArray addr = '<' + address.toUtf8() + '>';
    if (name.trimmed().isEmpty())
        return addr;
    return MimeText::phrase(name.trimmed()) + ' ' + addr;
}

QByteArray MailAddress::envelopeText() const
{
    return '<' + address.toUtf8() + '>';
}

QString MailAddress::display() const
{
    return name.isEmpty() ? address : name + QStringLiteral(" <") + address + QLatin1Char('>');
}
