#include "staff/tfrmoperaterquery.h"

#include "data/dataset.h"

namespace {
QueryDialogDesc description()
{
    QueryDialogDesc d;
    d.className = QStringLiteral("TfrmOperaterQuery");
    d.caption = QStringLiteral("工作人员查询");
    d.criteria = {{QStringLiteral("所有工作人员")},
             {QStringLiteral("工作人员代码"), QStringLiteral("OperaterID"), QStringLiteral("请输入匹配的工作人员代码!")},
             QueryCriterion::byName(QStringLiteral("工作人员姓名"), QStringLiteral("Name"), QStringLiteral("请输入匹配的工作人员姓名!")),
             {QStringLiteral("称呼"), QStringLiteral("NickName"), QStringLiteral("请输入匹配的称呼!")},
             {QStringLiteral("职务"), QStringLiteral("Duty"), QStringLiteral("请输入匹配的职务!")}};
    return d;
}
} // namespace

TfrmOperaterQuery::TfrmOperaterQuery(Dataset *operaters, QWidget *parent)
    : QueryDialog(description(),
                  [operaters](const Condition &found) {
                      operaters->setFilter(found);
                      const bool ok = operaters->isActive() ? operaters->refresh() : operaters->open();
                      return ok ? QString() : operaters->lastError();
                  },
                  parent)
{
}
