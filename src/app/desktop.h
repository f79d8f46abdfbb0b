#pragma once

#include <QString>
#include <QUrl>

// The maker's own addresses, shown in the status bar and the about box and
// opened by the help menu.
namespace Maker {
inline const QString kName = QStringLiteral("Brevia软件工作室");
inline const QString kWebsite = QStringLiteral("http://www.brevia-soft.cn");
inline const QString kSupportMail = QStringLiteral("support@brevia-soft.cn");
} // namespace Maker

// The programs the desktop associates with a link or a file. Nothing here
// waits for what it starts.
namespace Desktop {

// mailto: with the recipient, subject and body percent-encoded.
QUrl mailTo(const QString &to, const QString &subject, const QString &body);
QUrl helpFile(); // the user manual beside the program

void open(const QUrl &url);

} // namespace Desktop
