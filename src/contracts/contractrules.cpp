#include "contracts/contractrules.h"

TableRules ContractRules::operates()
{
    TableRules r;
    r.table = QStringLiteral("tblOperates");
    r.keyField = QStringLiteral("OperateID");
    r.references = {{"tblOperateDetail", "OperateID", "对不起，该业务资料包括业务子项信息，不能删除！"}};
    r.deleteQuestion = QStringLiteral("您真的要删除该业务资料吗？");
    return r;
}
