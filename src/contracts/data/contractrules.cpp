#include "contracts/data/contractrules.h"

#include "contracts/data/contractmoney.h"
#include "data/database.h"
#include "data/session.h"

#include <QSqlError>
#include <QSqlQuery>

const QString ContractRules::kDuplicateLine = QStringLiteral("对不起，已经存在相同的子项编码!");
const QString ContractRules::kCurrencyInUse = QStringLiteral("对不起，该币别已被业务资料使用，不能删除！");

namespace {
// The contract list of an ordinary user shows only the contracts stamped
// with his code: a contract stored without one would vanish from it.
HookResult stampCreator(Dataset &d)
{
    if (d.isEditing() && d.isBlank(QStringLiteral("SUser")) && Session::current().loggedIn())
        d.setValue(QStringLiteral("SUser"), Session::current().userId());
    return HookResult::proceed();
}

// Line numbers are unique within their contract; said in the system's words
// before the database would refuse the row in its own.
HookResult uniqueLineNumber(Dataset &d)
{
    if (!d.isEditing() || !d.database() || d.isBlank(QStringLiteral("DetailNo")))
        return HookResult::proceed();
    const QVariant no = d.value(QStringLiteral("DetailNo"));
    const QVariant contract = d.value(QStringLiteral("OperateID"));
    if (d.state() == Dataset::State::Edit && d.storedValue(QStringLiteral("DetailNo")) == no
        && d.storedValue(QStringLiteral("OperateID")) == contract)
        return HookResult::proceed();
    QSqlQuery q(d.database()->sql());
    q.prepare(QStringLiteral("SELECT 1 FROM tblOperateDetail WHERE OperateID = ? AND DetailNo = ?"));
    q.addBindValue(contract);
    q.addBindValue(no);
    if (!q.exec())
        return HookResult::refuse(q.lastError().text());
    return q.next() ? HookResult::refuse(ContractRules::kDuplicateLine, QStringLiteral("DetailNo"))
                    : HookResult::proceed();
}
} // namespace

TableRules ContractRules::operates()
{
    TableRules r;
    r.table = QStringLiteral("tblOperates");
    r.keyField = QStringLiteral("OperateID");
    r.required = {{"OperateID", "请输入业务编码！"},
                  {"OperateTitle", "请输入业务标题！"},
                  {"CustID", "请选择输入相关客户！"},
                  {"CreateDate", "请输入业务资料建档时间！"},
                  {"OriginId", "请选择输入业务来源！"},
                  {"TypeID", "请选择输入业务类型！"},
                  {"InOrOut", "请选择输入收付类型！"},
                  {"WriteDate", "请选择输入签约日期！"},
                  {"EndDate", "请选择输入合同截止日期！"},
                  {"OperateStateID", "请选择业务状态！"}};
    r.references = {{"tblOperateDetail", "OperateID", "对不起，该业务资料包括业务子项信息，不能删除！"},
                    {"tblPlan", "OperateId", {}}}; // a schedule entry keeps its contract's code
    r.deleteQuestion = QStringLiteral("您真的要删除该业务资料吗？");
    // "保存" stamps a stored contract that never had a creator as well.
    r.saveChecks = {&stampCreator};
    // Every store converts at the rate of the moment and keeps the profit
    // rate true to the amounts, and a new contract takes its creator.
    r.beforePost = {[](Dataset &d) {
                        return d.state() == Dataset::State::Insert ? stampCreator(d) : HookResult::proceed();
                    },
                    &ContractMoney::recomputeContract};
    // Contracts are kept in the contract window and from the customer window.
    r.rights = {QStringLiteral("304"), QStringLiteral("301")};
    return r;
}

TableRules ContractRules::moneyLines()
{
    TableRules r;
    r.table = QStringLiteral("tblOperateDetail");
    r.required = {{"DetailNo", "请输入子项编号！"},
                  {"OperateDate", "请选择输入业务子项发生日期！"},
                  {"DTitle", "请输入子项主题！"},
                  {"InOut", "请输入业务子项的收支描述！"}};
    r.deleteQuestion = QStringLiteral("您真的要删除该业务子项记录吗？");
    r.beforePost = {&uniqueLineNumber, &ContractMoney::recomputeLine};
    r.rights = {QStringLiteral("304")};
    return r;
}

TableRules ContractRules::currencies()
{
    TableRules r;
    r.table = QStringLiteral("tblCurrencyRate");
    r.keyField = QStringLiteral("CurrID");
    // Rows that use a currency could no longer be converted again.
    r.references = {{"tblOperates", "CurrID", kCurrencyInUse}, {"tblOperateDetail", "CurrID", kCurrencyInUse}};
    r.rights = {QStringLiteral("204")};
    return r;
}
