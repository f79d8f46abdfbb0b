#include "ui/links.h"

#include <QDesktopServices>

QUrl mailtoUrl(const QString &address)
{
    const QString a = address.trimmed();
    if (a.isEmpty())
        return {};
    QUrl url;
    url.setScheme(QStringLiteral("mailto"));
    // Decoded mode: a '%' or '?' typed by the user is part of the address
    // and is encoded, never taken as an escape or a query.
    url.setPath(a, QUrl::DecodedMode);
    return url;
}

QUrl webUrl(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return {};
    return QUrl::fromUserInput(t);
}

bool openMailTo(const QString &address)
{
    const QUrl url = mailtoUrl(address);
    return url.isValid() && QDesktopServices::openUrl(url);
}

bool openWebAddress(const QString &text)
{
    const QUrl url = webUrl(text);
    return url.isValid() && QDesktopServices::openUrl(url);
}
