#include "data/serverfile.h"

#include "data/apppaths.h"
#include "data/privatefiles.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// What is wrong with a line as a database location; empty when nothing.
QString problem(const QString &line)
{
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            return QStringLiteral("Server.txt 的第一行第 %1 个字符是不可见的控制字符（代码 %2），请改正该行")
                .arg(i + 1)
                .arg(c.unicode());
        if (c == QChar::ReplacementCharacter)
            return QStringLiteral("Server.txt 的第一行不是有效的 UTF-8 文字（第 %1 个字符），请改正该行").arg(i + 1);
    }
    return {};
}

} // namespace

namespace ServerFile {

bool write(const QString &location)
{
    const bool existed = QFileInfo::exists(AppPaths::serverFile());
    QSaveFile f(AppPaths::serverFile());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    f.write(location.toUtf8());
    f.write("\n");
    if (!f.commit())
        return false;
    // It may name a server with its password: the user's own. One already
    // there keeps what its owner set.
    if (!existed)
        PrivateFiles::makeFile(AppPaths::serverFile());
    return true;
}

bool resetToDefault()
{
    return write(AppPaths::defaultDatabasePath());
}

QString read(QString *error)
{
    QFile f(AppPaths::serverFile());
    if (!f.exists()) {
        if (!resetToDefault() && error)
            *error = QStringLiteral("无法写入 %1").arg(f.fileName());
        return AppPaths::defaultDatabasePath();
    }
    if (!f.open(QIODevice::ReadOnly)) {
        if (error)
            *error = QStringLiteral("无法读取 %1").arg(f.fileName());
        return {};
    }
    QString line = QString::fromUtf8(f.readLine());
    while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
        line.chop(1);
    // Older files may carry a byte-order mark.
    if (line.startsWith(QChar(0xFEFF)))
        line.remove(0, 1);
    if (const QString wrong = problem(line); !wrong.isEmpty() && error)
        *error = wrong;
    return line;
}

} // namespace ServerFile
