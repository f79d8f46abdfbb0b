#include "contacts/contactrules.h"

TableRules ContactRules::linkmans()
{
    TableRules r;
    r.table = QStringLiteral("tblLinkmans");
    r.keyField = QStringLiteral("LinkmanID");
    r.references = {{"tblOperates", "LinkmanID", "对不起，业务资料有该联系人信息，不能删除！"}};
    r.deleteQuestion = QStringLiteral("您真的要删除该联系人资料吗？");
    return r;
}
