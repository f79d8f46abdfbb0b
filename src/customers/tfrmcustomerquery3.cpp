#include "customers/tfrmcustomerquery3.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/recordscope.h"
#include "data/sharedsets.h"

namespace {
QueryDialogDesc customerQuery()
{
    QueryDialogDesc d;
    d.className = QStringLiteral("TfrmCustomerQuery3");
    d.caption = QStringLiteral("客户查询");
    d.periodColumn = QStringLiteral("CreateDate");
    const QString empty = QStringLiteral("请输入查询条件!");
    // The codes of the dictionaries and of the staff need the exact code:
    // "01" must not find "001".
    const std::tuple<const char *, const char *, bool> criteria[] = {
        {"所有客户", "", false},           {"客户代码", "CustID", false},     {"客户名称", "CustName", false},
        {"主要联系人", "MainLinkman", false}, {"地址", "Address", false},       {"国籍", "CountryID", false},
        {"所在区", "DistID", false},       {"电话", "Telephone", false},      {"传真", "Fax", false},
        {"工作人员代码", "OperaterID", true}, {"客户类别代码", "VocationID", true}, {"客户级别代码", "LevelID", true},
        {"客户状态代码", "StateID", true},  {"客户来源代码", "OriginID", true}, {"Email", "Email", false},
        {"主要成员", "HomePage", false}};
    for (const auto &[caption, column, exact] : criteria)
        d.criteria.append({QString::fromUtf8(caption), QString::fromLatin1(column), empty, exact});
    return d;
}
} // namespace

QStringList TfrmCustomerQuery3::criteria()
{
    QStringList list;
    for (const QueryCriterion &c : customerQuery().criteria)
        list << c.caption;
    return list;
}

Condition TfrmCustomerQuery3::criterionCondition(int criterion, const QString &text)
{
    const QVector<QueryCriterion> all = customerQuery().criteria;
    if (criterion < 0 || criterion >= all.size())
        return {};
    return QueryDialog::criterionCondition(all[criterion], text);
}

TfrmCustomerQuery3::TfrmCustomerQuery3(QWidget *parent)
    : QueryDialog(customerQuery(),
                  [](const Condition &found) {
                      Dataset *set = TdmMain::instance()->dataset(Sets::kCustomerList);
                      // Asked afresh: an administrator may have changed the user
                      // meanwhile. The own term holds for the whole condition.
                      if (!refilter(set, found && ownRecordsCondition(set->database())))
                          return set->lastError();
                      return set->rowCount() > 0 ? QString() : QStringLiteral("对不起，没有找到符合条件的记录！");
                  },
                  parent)
{
}
