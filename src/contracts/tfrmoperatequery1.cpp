#include "contracts/tfrmoperatequery1.h"

#include "data/recordscope.h"
#include "data/dataset.h"

namespace {
const QString kEmpty = QStringLiteral("请输入查询条件!");

QueryDialogDesc description(bool systemUser)
{
    QueryDialogDesc d;
    d.className = QStringLiteral("TfrmOperateQuery1");
    d.caption = QStringLiteral("业务查询");
    d.periodColumn = QStringLiteral("CreateDate");
    // A system user names a staff member by his whole code; others may type a part.
    d.criteria = {{QStringLiteral("所有业务")},
                  {QStringLiteral("业务代码"), QStringLiteral("OperateID"), kEmpty},
                  QueryCriterion::byName(QStringLiteral("业务标题"), QStringLiteral("OperateTitle"), kEmpty),
                  {QStringLiteral("客户代码"), QStringLiteral("CustID"), kEmpty},
                  {QStringLiteral("业务员代码"), QStringLiteral("OperaterID"), kEmpty, systemUser},
                  {QStringLiteral("业务状态代码"), QStringLiteral("OperateStateID"), kEmpty, true}};
    return d;
}
} // namespace

TfrmOperateQuery1::TfrmOperateQuery1(Dataset *contracts, QWidget *parent)
    : QueryDialog(description(ownRecordsCondition(contracts->database()).isNull()),
                  [contracts](const Condition &found) {
                      // The user's own contracts, whatever he searched for.
                      const Condition own = ownRecordsCondition(contracts->database());
                      return refilter(contracts, found.isNull() ? own : own.isNull() ? found : found && own)
                          ? QString()
                          : contracts->lastError();
                  },
                  parent)
{
}
