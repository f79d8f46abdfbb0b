#include "data/tablerules.h"

#include "data/database.h"

#include <QSqlQuery>

const QString kCodeInUse = QStringLiteral("对不起，该代码已被其他资料引用，不能修改！");

bool referenceNames(Database &db, const Reference &ref, const QVariant &code, QString *error)
{
    QString sql = QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ?").arg(ref.table, ref.column);
    QVariantList values{code};
    if (!ref.orColumn.isEmpty()) {
        sql += QStringLiteral(" OR %1 = ?").arg(ref.orColumn);
        values << code;
    }
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (!db.prepareAndExec(q, sql, values, error))
        return true;
    return q.next();
}

QString TableRules::deleteRefusal(Database &db, const QVariant &code) const
{
    for (const Reference &r : references) {
        if (r.deleteMessage.isEmpty())
            continue;
        QString error;
        if (referenceNames(db, r, code, &error))
            return error.isEmpty() ? r.deleteMessage : error;
    }
    return {};
}

bool TableRules::codeInUse(Database &db, const QVariant &code, QString *error) const
{
    for (const Reference &r : references)
        if (r.blocksCodeChange && referenceNames(db, r, code, error))
            return true;
    return false;
}

HookResult TableRules::runSaveChecks(Dataset &d) const
{
    for (const Dataset::Hook &check : saveChecks) {
        const HookResult r = check(d);
        if (r.kind == HookResult::Refuse)
            return r;
    }
    return HookResult::proceed();
}

const RequiredField *TableRules::requirement(const QString &field) const
{
    for (const RequiredField &r : required)
        if (r.field.compare(field, Qt::CaseInsensitive) == 0)
            return &r;
    return nullptr;
}
