#pragma once

#include <QString>
#include <QVector>

#include <functional>

// A table as the old file's own catalogue names it, with the live rows
// its data pages hold.
struct JetTableInfo {
    QString name;
    quint32 definitionPage = 0;
    qint64 rows = 0;
};

// A walk of our own over the page structure of an old Jet 4 file, made
// before a reading library that trusts the file is let near it. Every page
// that reading the catalogue and the user tables passes through is looked
// at: page pointers against the end of the file, page kinds against what
// the pointer promises, chains of pages against loops, row and field
// bounds against their page, long values (memos) against their stated
// length, and the property blocks of the catalogue against their own
// lengths. Every loop of the walk is bounded by the size of the file.
class JetFile
{
public:
    // Empty when the file is whole, with *tables the catalogue's user
    // tables; else why not, in words for the user: "不是旧系统的数据库文件"
    // for a file that is no Jet 4 database, "旧数据库文件已损坏" with the
    // table that cannot be read for one that is damaged. alive is called
    // now and then while a large file is walked.
    static QString check(const QString &path, QVector<JetTableInfo> *tables,
                         const std::function<void()> &alive = {});
};
