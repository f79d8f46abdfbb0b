#include "customers/data/customerrules.h"

#include "data/database.h"
#include "data/session.h"

#include <QSqlQuery>
#include <QTime>

const QString CustomerRules::kCodeExists = QStringLiteral("对不起，该客户代码已存在！");

namespace {
const QString kWrongTime = QStringLiteral("请输入正确的联系时间！");

// A time of day as the mask gives it, "9:30:00" or "09:30:00"; the mask
// drops its blanks, so a half-typed "1::" arrives as just that.
bool wholeTime(const QVariant &v)
{
    const QStringList parts = v.toString().trimmed().split(QLatin1Char(':'));
    if (parts.size() != 3)
        return false;
    int hms[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        hms[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || parts[i].trimmed().isEmpty())
            return false;
    }
    return QTime::isValid(hms[0], hms[1], hms[2]);
}
} // namespace

bool CustomerRules::codeTaken(Database &db, const QVariant &code, const QVariant &exceptCNo, QString *error)
{
    // The code is a bound value, so a quote in it is just a character.
    QString sql = QStringLiteral("SELECT CNo FROM tblCustomers WHERE CustId = ?");
    QVariantList values{code};
    if (!exceptCNo.isNull()) {
        sql += QStringLiteral(" AND CNo <> ?");
        values << exceptCNo;
    }
    QSqlQuery q(db.sql());
    q.setForwardOnly(true);
    if (!db.prepareAndExec(q, sql, values, error))
        return true;
    return q.next();
}

TableRules CustomerRules::customers()
{
    TableRules r;
    r.table = QStringLiteral("tblCustomers");
    r.rights = {QStringLiteral("301")};
    r.keyField = QStringLiteral("CustId");
    r.required = {{"CustId", "请输入客户简称！"},         {"CustName", "请输入客户名称！"},
                  {"VocationID", "请选择输入行业类别！"}, {"OriginID", "请选择输入客户来源！"},
                  {"LevelID", "请选择输入客户级别！"},    {"StateId", "请选择输入客户状态！"},
                  {"CreateDate", "请输入客户建档日期！"}};
    // Placed workers do not hold a delete (they simply lose their
    // customer), but renaming a customer they name would lose it for them.
    r.references = {
        {"tblLinkmans", "CustID", "对不起，该客户有联系人资料，不能删除！"},
        {"tblOperates", "CustID", "对不起，该客户有业务资料，不能删除！", true, "LinkCustID"},
        {"tblCustomerState", "CustID", "对不起，该客户有客户接触信息，不能删除！"},
        {"tblCustomerAddInfo", "CustID", "对不起，该客户有其他资料信息，不能删除！"},
        {"tblPlan", "CustID", "对不起，该客户有日程安排，不能删除！"},
        {"tblYuangong", "CustID", {}},
    };
    r.deleteQuestion = QStringLiteral("您真的要删除该客户吗？");
    r.saveChecks = {
        // A code another customer already has is refused, whoever's list
        // that customer is in.
        [](Dataset &d) {
            Database *db = d.database();
            if (!db)
                return HookResult::proceed();
            const QVariant except = d.state() == Dataset::State::Edit ? d.storedValue(QStringLiteral("CNo")) : QVariant();
            QString error;
            if (codeTaken(*db, d.value(QStringLiteral("CustId")), except, &error))
                return HookResult::refuse(error.isEmpty() ? kCodeExists : error, QStringLiteral("CustId"));
            return HookResult::proceed();
        },
        // Whoever saves a customer without a creator becomes it, so the row
        // stays in a user's own list.
        [](Dataset &d) {
            if (d.isEditing() && d.isBlank(QStringLiteral("SUser")) && Session::current().loggedIn())
                d.setValue(QStringLiteral("SUser"), Session::current().userId());
            return HookResult::proceed();
        },
    };
    // A new customer stored any other way (moving away, a dialog's close)
    // takes its creator as well.
    r.beforePost = {[](Dataset &d) {
        if (d.state() == Dataset::State::Insert && d.isBlank(QStringLiteral("SUser")) && Session::current().loggedIn())
            d.setValue(QStringLiteral("SUser"), Session::current().userId());
        return HookResult::proceed();
    }};
    return r;
}

TableRules CustomerRules::history()
{
    TableRules r;
    r.table = QStringLiteral("tblCustomerState");
    r.rights = {QStringLiteral("301")};
    r.required = {{"LinkDate", "请选择输入联系日期！"},
                  {"LinkTime", "请输入联系时间！", wholeTime, kWrongTime},
                  {"LinkType", "请选择输入联系方式！"},
                  {"Linkman", "请输入联系人名称！"},
                  {"Duty", "请输入联系人职务！"}};
    r.deleteQuestion = QStringLiteral("您真的要删除该接触机会信息吗？");
    // Stored any way at all, a half-typed time ("1::") is no time.
    r.beforePost = {[](Dataset &d) {
        const QVariant t = d.value(QStringLiteral("LinkTime"));
        if (!d.isBlank(QStringLiteral("LinkTime")) && !wholeTime(t))
            return HookResult::refuse(kWrongTime, QStringLiteral("LinkTime"));
        return HookResult::proceed();
    }};
    return r;
}

TableRules CustomerRules::additionalInformation()
{
    TableRules r;
    r.table = QStringLiteral("tblCustomerAddInfo");
    r.rights = {QStringLiteral("301")};
    r.deleteQuestion = QStringLiteral("您真的要删除该资料吗？");
    return r;
}
