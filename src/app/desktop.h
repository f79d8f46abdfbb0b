#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVector>

// The maker's own addresses, shown in the status bar and the about box and
// opened by the help menu.
namespace Maker {
inline const QString kName = QStringLiteral("Brevia软件工作室");
inline const QString kWebsite = QStringLiteral("http://www.brevia-soft.cn");
inline const QString kSupportMail = QStringLiteral("support@brevia-soft.cn");
} // namespace Maker

// The desktop's own programs and the programs it associates with a link.
// Nothing here waits for what it starts or checks its result.
namespace Desktop {

struct Program {
    QString name;      // looked up on PATH
    QStringList args;
};

// Starts the first of the programs that is installed and returns its name;
// empty when none is (then nothing happens).
QString startFirstFound(const QVector<Program> &candidates);

const QVector<Program> &calculators();
const QVector<Program> &dateTimeSettings();
const QVector<Program> &systemMonitors();

// mailto: with the recipient, subject and body percent-encoded.
QUrl mailTo(const QString &to, const QString &subject, const QString &body);
QUrl helpFile(); // the user manual beside the program

void open(const QUrl &url);

} // namespace Desktop
