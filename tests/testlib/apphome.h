#pragma once

#include <QFile>
#include <QTemporaryDir>

// A fresh application directory for one test, through BREVIA_HOME.
struct AppHome {
    QTemporaryDir dir;
    AppHome() { qputenv("BREVIA_HOME", dir.path().toLocal8Bit()); }
    ~AppHome() { qunsetenv("BREVIA_HOME"); }
    QString path(const QString &relative) const { return dir.filePath(relative); }
    QByteArray read(const QString &relative) const
    {
        QFile f(path(relative));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    bool write(const QString &relative, const QByteArray &content) const
    {
        QFile f(path(relative));
        return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
    }
};
