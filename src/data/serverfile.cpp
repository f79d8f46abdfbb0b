#include "data/serverfile.h"

#include "data/apppaths.h"

#include <QFile>
#include <QSaveFile>

namespace ServerFile {

bool write(const QString &location)
{
    QSaveFile f(AppPaths::serverFile());
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    f.write(location.toUtf8());
    f.write("\n");
    return f.commit();
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
    return line;
}

} // namespace ServerFile
