#include "ui/rightflags.h"

#include "data/database.h"
#include "data/schema.h"
#include "data/tabledef.h"

#include <QSqlQuery>

RightFlags readRightFlags(Database &db, const QString &userId, const QString &rightId)
{
    RightFlags f;
    const TableDef *t = Schema::table(QStringLiteral("tblUserRight"));
    const QStringList ops{QStringLiteral("Insert"), QStringLiteral("Modify"), QStringLiteral("Delete"),
                          QStringLiteral("Query"), QStringLiteral("Print")};
    QStringList cols;
    for (const QString &op : ops)
        cols << db.dialect().ident(op);
    // User codes are one user regardless of letter case (tblUser.UserID).
    const QString sql = QStringLiteral("SELECT %1 FROM tblUserRight WHERE lower(UserID) = lower(?) AND RightID = ?")
                            .arg(cols.join(QStringLiteral(", ")));
    QSqlQuery q(db.sql());
    if (!db.prepareAndExec(q, sql, {userId, rightId}, nullptr) || !q.next())
        return f;
    bool v[5];
    for (int i = 0; i < 5; ++i)
        v[i] = db.fromDb(t->column(ops[i]), q.value(i)).toBool();
    f.held = true;
    f.insert = v[0];
    f.modify = v[1];
    f.remove = v[2];
    f.query = v[3];
    f.print = v[4];
    return f;
}
