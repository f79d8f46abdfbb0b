#include "data/tablerules.h"

#include "data/database.h"
#include "data/session.h"
#include "data/userrights.h"

#include <QSqlQuery>

const QString kCodeInUse = QStringLiteral("对不起，该代码已被其他资料引用，不能修改！");
const QString kNoInsertFlag = QStringLiteral("对不起，您没有新增该资料的权限！");
const QString kNoModifyFlag = QStringLiteral("对不起，您没有修改该资料的权限！");

bool flagsAllowStore(const QStringList &rights, Dataset::State state)
{
    const Session &s = Session::current();
    // Outside a login (the command-line tools, an import) nobody's flags apply.
    if (rights.isEmpty() || !s.loggedIn() || s.isSys())
        return true;
    for (const QString &code : rights) {
        const UserRights::Ops ops = UserRights::current().ops(code);
        if (state == Dataset::State::Insert ? ops.insert : ops.modify)
            return true;
    }
    return false;
}

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
