#include "workers/data/workerrules.h"

TableRules WorkerRules::yuangong()
{
    TableRules r;
    r.table = QStringLiteral("tblYuangong");
    r.keyField = QStringLiteral("YuangongID");
    r.required = {{"YuangongID", "请输入员工代码！"}, {"Name", "请输入员工姓名！"}};
    // Workers are kept in their own window and, for the workers placed with
    // a customer, from the customer window.
    r.rights = {QStringLiteral("601"), QStringLiteral("301")};
    r.deleteQuestion = QStringLiteral("您真的要删除该员工资料吗？");
    return r;
}

TableRules WorkerRules::shusong()
{
    TableRules r;
    r.table = QStringLiteral("tblShusong");
    r.keyField = QStringLiteral("ShusongID");
    r.required = {{"ShusongID", "请输入输送单位编号！"}, {"ShusongName", "请输入输送单位名称！"}};
    r.rights = {QStringLiteral("603")};
    // Settlements hold a unit; workers do not: they keep the code and lose
    // the unit's name. Renaming the code would lose either.
    r.references = {{"tblShusongYJ", "ShusongID", "对不起，该输送单位包括佣金结算信息，不能删除！"},
                    {"tblYuangong", "ShusongID", {}}};
    r.deleteQuestion = QStringLiteral("您真的要删除该输送单位档案吗？");
    return r;
}

TableRules WorkerRules::shusongYJ()
{
    TableRules r;
    r.table = QStringLiteral("tblShusongYJ");
    r.required = {{"sNo", "请输入子项编号！"}, {"JDate", "请选择输入结算日期！"}, {"Jingban", "请输入经办人！"}};
    r.rights = {QStringLiteral("603")};
    r.deleteQuestion = QStringLiteral("您真的要删除该佣金结算记录吗？");
    return r;
}
