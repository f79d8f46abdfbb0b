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
    // "01" must not find "001". Names are found by pinyin too.
    enum Match { Part, Exact, Name };
    const std::tuple<const char *, const char *, Match> criteria[] = {
        {"所有客户", "", Part},           {"客户代码", "CustID", Part},     {"客户名称", "CustName", Name},
        {"主要联系人", "MainLinkman", Name}, {"地址", "Address", Part},       {"国籍", "CountryID", Part},
        {"所在区", "DistID", Part},       {"电话", "Telephone", Part},      {"传真", "Fax", Part},
        {"工作人员代码", "OperaterID", Exact}, {"客户类别代码", "VocationID", Exact}, {"客户级别代码", "LevelID", Exact},
        {"客户状态代码", "StateID", Exact},  {"客户来源代码", "OriginID", Exact}, {"Email", "Email", Part},
        {"主要成员", "HomePage", Part}};
    for (const auto &[caption, column, match] : criteria) {
        QueryCriterion c(QString::fromUtf8(caption), QString::fromLatin1(column), empty, match == Exact);
        c.pinyin = match == Name;
        d.criteria.append(c);
    }
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
