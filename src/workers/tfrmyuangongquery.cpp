#include "workers/tfrmyuangongquery.h"

#include "data/dataset.h"

namespace {
QueryDialogDesc description()
{
    QueryDialogDesc d;
    d.className = QStringLiteral("TfrmYuangongQuery");
    d.caption = QStringLiteral("员工查询");
    d.criteria = {{QStringLiteral("所有员工")},
                  {QStringLiteral("员工编号"), QStringLiteral("YuangongID"), QStringLiteral("请输入匹配的员工编号!")},
                  QueryCriterion::byName(QStringLiteral("员工姓名"), QStringLiteral("Name"), QStringLiteral("请输入匹配的员工姓名!")),
                  {QStringLiteral("称呼"), QStringLiteral("NickName"), QStringLiteral("请输入匹配的称呼!")},
                  {QStringLiteral("职务"), QStringLiteral("Duty"), QStringLiteral("请输入匹配的职务!")}};
    return d;
}
} // namespace

TfrmYuangongQuery::TfrmYuangongQuery(Dataset *workers, QWidget *parent)
    : QueryDialog(description(),
                  [workers](const Condition &found) {
                      // A worker half typed is stored first, as any re-read does.
                      if (workers->isEditing() && !workers->post())
                          return workers->lastError();
                      workers->setFilter(found);
                      const bool ok = workers->isActive() ? workers->refresh() : workers->open();
                      return ok ? QString() : workers->lastError();
                  },
                  parent)
{
}
