#include "contacts/emailexport.h"

#include "data/condition.h"
#include "data/database.h"
#include "data/dialect.h"
#include "data/outputfile.h"

#include <QFileDevice>
#include <QSqlQuery>

QString writeEmailList(Database &db, const Condition &contacts, const QString &path)
{
    // One pass over the rows without reading whole contacts: the list may
    // hold hundreds of thousands.
    const Dialect &d = db.dialect();
    QVariantList values;
    QString sql = QStringLiteral("SELECT %1 FROM tblLinkmans").arg(d.ident(QStringLiteral("Email")));
    if (!contacts.isNull())
        sql += QStringLiteral(" WHERE ") + contacts.toSql(d, values);
    sql += QStringLiteral(" ORDER BY ") + d.ident(QStringLiteral("LNo"));
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    QString error;
    if (!db.prepareAndExec(q, sql, values, &error))
        return error;
    // Written whole or not at all: a disk that fills up leaves no list
    // that looks complete.
    return OutputFile::write(path, [&q](QIODevice &file, QString *) {
        while (q.next()) {
            const QString address = q.value(0).toString();
            if (address.isEmpty())
                continue;
            const QByteArray line = address.toUtf8() + "\r\n";
            if (file.write(line) != line.size())
                return false;
        }
        return true;
    });
}
