#include "contacts/tfrmlinkmanquery1.h"

#include "data/recordscope.h"
#include "data/dataset.h"

const QString TfrmLinkmanQuery1::kNothingFound = QStringLiteral("对不起，没有找到符合条件的记录！");
const QString TfrmLinkmanQuery1::kNoText = QStringLiteral("请输入附加查询条件!");

namespace {
QueryDialogDesc description()
{
    const QString &none = TfrmLinkmanQuery1::kNoText;
    QueryDialogDesc d;
    d.className = QStringLiteral("TfrmLinkmanQuery1");
    d.caption = QStringLiteral("联系人查询");
    d.textLabel = QStringLiteral("附加条件：");
    d.criteria = {{QStringLiteral("所有联系人")},
                  {QStringLiteral("客户代码"), QStringLiteral("CustID"), none},
                  {QStringLiteral("联系人代码"), QStringLiteral("LinkmanID"), none},
                  QueryCriterion::byName(QStringLiteral("联系人姓名"), QStringLiteral("Name"), none),
                  {QStringLiteral("职务"), QStringLiteral("Duty"), none},
                  {QStringLiteral("称呼"), QStringLiteral("NickName"), none}};
    return d;
}
} // namespace

TfrmLinkmanQuery1::TfrmLinkmanQuery1(Dataset *contacts, const Condition &own, QWidget *parent)
    : QueryDialog(description(),
                  [contacts, own](const Condition &found) {
                      if (!refilter(contacts, found && own))
                          return contacts->lastError();
                      return contacts->isEmpty() ? kNothingFound : QString();
                  },
                  parent)
{
}
