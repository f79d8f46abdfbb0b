#include "admin-cli/backupcommand.h"

#include "data/database.h"
#include "data/databasebackup.h"
#include "data/dbsetup.h"
#include "data/serverfile.h"

#include <QDir>
#include <QTextStream>

namespace {

int usage()
{
    QTextStream(stderr) << "用法: brevia-admin backup [备份文件] [--db 路径|postgresql://...]\n"
                           "      brevia-admin restore 备份文件 [--db 路径|postgresql://...]\n";
    return 2;
}

int fail(const QString &message)
{
    QTextStream(stderr) << message << "\n";
    return 1;
}

// Paths typed in a shell are relative to the shell's folder.
QString shellPath(const QString &path)
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

// The file argument and the live database of the command line. False for
// arguments that make no sense.
bool parse(const QStringList &args, QString *file, QString *live)
{
    for (int i = 2; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--db")) {
            if (i + 1 >= args.size())
                return false;
            const QString db = args[++i];
            *live = Database::isPostgresUri(db) ? db : shellPath(db);
        } else if (args[i].startsWith(QLatin1String("--")) || !file->isEmpty()) {
            return false;
        } else {
            *file = shellPath(args[i]);
        }
    }
    if (live->isEmpty()) {
        QString error;
        const QString line = ServerFile::read(&error);
        if (!error.isEmpty()) {
            QTextStream(stderr) << error << "\n";
            return false;
        }
        *live = DbSetup::resolveLocation(line);
    }
    return true;
}

} // namespace

int backupCommand(const QStringList &args)
{
    QString target, live;
    if (!parse(args, &target, &live))
        return usage();
    if (target.isEmpty()) {
        if (!DatabaseBackup::ensureBackupFolder())
            return fail(DatabaseBackup::kBackupFailed + QStringLiteral("无法创建文件夹 ")
                        + QDir::toNativeSeparators(DatabaseBackup::backupFolder()));
        target = DatabaseBackup::defaultFile();
    }
    DatabaseBackup backup(live);
    if (const QString refused = backup.backupTo(target); !refused.isEmpty())
        return fail(refused);
    QTextStream(stdout) << DatabaseBackup::kBackupDone << " " << QDir::toNativeSeparators(target) << "\n";
    if (!backup.dayCopyWarning().isEmpty())
        QTextStream(stderr) << backup.dayCopyWarning() << "\n";
    return 0;
}

int restoreCommand(const QStringList &args)
{
    QString source, live;
    if (!parse(args, &source, &live) || source.isEmpty())
        return usage();
    DatabaseBackup backup(live);
    if (const QString refused = backup.restoreFrom(source); !refused.isEmpty())
        return fail(refused);
    QTextStream(stdout) << DatabaseBackup::kRestoreDone << " 恢复前的数据已保存在 "
                        << QDir::toNativeSeparators(backup.safetyCopy()) << "\n";
    return 0;
}
