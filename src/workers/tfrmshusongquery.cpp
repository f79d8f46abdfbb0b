#include "workers/tfrmshusongquery.h"

#include "data/dataset.h"

#include <iterator>
#include <utility>

namespace {
QueryDialogDesc description()
{
    QueryDialogDesc d;
    d.className = QStringLiteral("TfrmShusongQuery");
    d.caption = QStringLiteral("输送单位查询");
    const std::pair<const char *, const char *> columns[] = {
        {"ShusongID", "输送单位编号"}, {"ShusongName", "单位名称"}, {"Manager", "负责人"},
        {"ID", "身份证号码"},          {"Telephone", "电话"},       {"Fax", "传真"},
        {"Mobile", "手机"},            {"Homepage", "主页"},        {"Email", "Email"}};
    const char *const messages[] = {"请输入匹配的输送单位编号!", "请输入匹配的单位名称!", "请输入匹配的负责人!",
                                    "请输入匹配的身份证号码!",   "请输入匹配的电话号码!", "请输入匹配的传真号码!",
                                    "请输入匹配的手机号码!",     "请输入匹配的主页!",     "请输入匹配的Email地址!"};
    d.criteria = {{QStringLiteral("所有输送单位")}};
    for (int i = 0; i < int(std::size(columns)); ++i) {
        QueryCriterion c(QString::fromUtf8(columns[i].second), QString::fromLatin1(columns[i].first),
                         QString::fromUtf8(messages[i]));
        // The unit's name and its manager's are found by pinyin too.
        c.pinyin = c.column == QLatin1String("ShusongName") || c.column == QLatin1String("Manager");
        d.criteria.append(c);
    }
    return d;
}
} // namespace

TfrmShusongQuery::TfrmShusongQuery(Dataset *units, QWidget *parent)
    : QueryDialog(description(),
                  [units](const Condition &found) {
                      if (units->isEditing() && !units->post())
                          return units->lastError();
                      units->setFilter(found);
                      const bool ok = units->isActive() ? units->refresh() : units->open();
                      return ok ? QString() : units->lastError();
                  },
                  parent)
{
}
