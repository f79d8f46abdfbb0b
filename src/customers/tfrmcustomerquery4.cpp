#include "customers/tfrmcustomerquery4.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/recordscope.h"
#include "data/sharedsets.h"

namespace {
QueryDialogDesc description()
{
    QueryDialogDesc d;
    d.className = QStringLiteral("TfrmCustomerQuery4");
    d.caption = QStringLiteral("客户查询");
    d.criteria = {{QStringLiteral("所有客户")},
             {QStringLiteral("客户代码"), QStringLiteral("CustID"), QStringLiteral("请输入匹配的客户代码!")},
             QueryCriterion::byName(QStringLiteral("客户名称"), QStringLiteral("CustName"), QStringLiteral("请输入匹配的客户名称!"))};
    return d;
}
} // namespace

TfrmCustomerQuery4::TfrmCustomerQuery4(QWidget *parent)
    : QueryDialog(description(),
                  [](const Condition &found) {
                      Dataset *set = TdmMain::instance()->dataset(Sets::kCustomerNames);
                      return refilter(set, found) ? QString() : set->lastError();
                  },
                  parent)
{
}
