#include "data/outputfile.h"

#include "data/databasebackup.h"

#include <QDir>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QStringList>

namespace OutputFile {

const QString kCannotWrite = QStringLiteral("对不起，无法写入文件：");

namespace {

QMutex guardLock;
QStringList &guarded()
{
    static QStringList files;
    return files;
}

QString message(const QString &path, const QString &reason)
{
    return kCannotWrite + QDir::toNativeSeparators(path) + QLatin1Char('\n') + reason;
}

} // namespace

void guardDatabase(const QString &file)
{
    const QMutexLocker lock(&guardLock);
    guarded() << QFileInfo(file).absoluteFilePath();
}

void releaseDatabase(const QString &file)
{
    const QMutexLocker lock(&guardLock);
    guarded().removeOne(QFileInfo(file).absoluteFilePath());
}

QString refusal(const QString &path)
{
    if (path.trimmed().isEmpty())
        return message(path, QStringLiteral("没有指定文件名"));
    {
        const QMutexLocker lock(&guardLock);
        for (const QString &live : std::as_const(guarded()))
            if (DatabaseBackup::isLiveFile(path, live))
                return message(path, QStringLiteral("这是当前正在使用的数据库文件"));
    }
    const QFileInfo fi(path);
    if (fi.isDir())
        return message(path, QStringLiteral("这是一个文件夹"));
    // A device or a pipe would be replaced by a plain file, or written
    // without any check that the bytes arrived whole.
    if (fi.exists() && !fi.isFile())
        return message(path, QStringLiteral("这不是普通文件"));
    return {};
}

QString write(const QString &path, const Fill &fill)
{
    if (const QString refused = refusal(path); !refused.isEmpty())
        return refused;
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return message(path, out.errorString());
    QString reason;
    if (!fill(out, &reason)) {
        out.cancelWriting();
        return message(path, reason.isEmpty() ? out.errorString() : reason);
    }
    // commit() fails when any write failed (a full disk, a size limit),
    // when the data cannot be flushed and synced, or when the rename does.
    if (!out.commit())
        return message(path, out.errorString());
    return {};
}

QString write(const QString &path, const QByteArray &bytes)
{
    return write(path, [&bytes](QIODevice &out, QString *) { return out.write(bytes) == bytes.size(); });
}

} // namespace OutputFile
