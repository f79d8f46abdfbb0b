#include "app/desktop.h"

#include "data/apppaths.h"

#include <QDesktopServices>

namespace Desktop {

QUrl mailTo(const QString &to, const QString &subject, const QString &body)
{
    const QByteArray encoded = "mailto:" + QUrl::toPercentEncoding(to, "@") + "?subject="
                               + QUrl::toPercentEncoding(subject) + "&body=" + QUrl::toPercentEncoding(body);
    return QUrl::fromEncoded(encoded, QUrl::StrictMode);
}

QUrl helpFile()
{
    return QUrl::fromLocalFile(AppPaths::findData(QStringLiteral("Help/BreviaHelp.html")));
}

void open(const QUrl &url)
{
    QDesktopServices::openUrl(url);
}

} // namespace Desktop
