#include "staff/data/staffrules.h"

TableRules StaffRules::operaters()
{
    TableRules r;
    r.table = QStringLiteral("tblOperaters");
    r.rights = {QStringLiteral("303")};
    r.keyField = QStringLiteral("OperaterID");
    r.required = {{"OperaterID", "请输入业务员代码！"}, {"Name", "请输入业务员名称！"}};
    // A customer does not hold a delete: it simply loses its responsible
    // staff member's name. Renaming a member either names would lose it.
    r.references = {{"tblOperates", "OperaterID", "对不起，该业务员存在业务资料信息，不能删除！"},
                    {"tblCustomers", "OperaterID", {}}};
    r.deleteQuestion = QStringLiteral("您真的要删除该业务员资料吗？");
    return r;
}
