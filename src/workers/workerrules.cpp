#include "workers/workerrules.h"

TableRules WorkerRules::yuangong()
{
    TableRules r;
    r.table = QStringLiteral("tblYuangong");
    r.keyField = QStringLiteral("YuangongID");
    r.deleteQuestion = QStringLiteral("您真的要删除该员工资料吗？");
    return r;
}
