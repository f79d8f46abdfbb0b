#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

class QIODevice;

// Every file the program writes for the user (a report's PDF, a grid's CSV,
// a saved mail, the log export, a chart picture) goes through here. The
// bytes go to a temporary file beside the target, every write and the
// close are checked, and only a whole file is renamed over the target: a
// full disk or a cut-off run leaves the old file or none, never half of a
// new one. A target that is an open database of this process (or one of
// the files SQLite keeps beside it), a folder or a device is refused before
// anything is written.
namespace OutputFile {

// The start of every refusal; the path and the reason follow.
extern const QString kCannotWrite; // 对不起，无法写入文件：

// Writes into the open temporary file; false with *reason when it could
// not make its part.
using Fill = std::function<bool(QIODevice &out, QString *reason)>;

// Empty on success, else kCannotWrite + the path + the reason; the target
// is then as it was.
QString write(const QString &path, const Fill &fill);
QString write(const QString &path, const QByteArray &bytes);

// Why path may not be written at all (empty when it may).
QString refusal(const QString &path);

// The SQLite files open in this process, each kept off the targets above
// with its -wal, -shm and -journal; Database adds and removes its own.
void guardDatabase(const QString &file);
void releaseDatabase(const QString &file);

} // namespace OutputFile
