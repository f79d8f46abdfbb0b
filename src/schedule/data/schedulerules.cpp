#include "schedule/data/schedulerules.h"

#include <QTime>

namespace {
// "09:30:00" as the mask leaves it: a time of day in full. A part typed
// ("09:3:") would otherwise be kept as a time nobody can read.
bool wholeTime(const QVariant &v)
{
    const QString s = v.toString();
    return s.size() == 8 && QTime::fromString(s, QStringLiteral("HH:mm:ss")).isValid();
}
} // namespace

TableRules ScheduleRules::plans()
{
    TableRules r;
    r.table = QStringLiteral("tblPlan");
    r.required = {{"PlanDate", "请输入日程安排日期！"},
                  {"PlanTime", "请输入日程安排时间！", &wholeTime, "请完整输入日程安排时间！"},
                  {"Address", "请输入日程安排的地点！"},
                  {"CustID", "请选择输入客户名称！"},
                  {"Linkman", "请输入客户联系人名称！"}};
    r.deleteQuestion = QStringLiteral("您真的要删除该日程安排记录吗？");
    r.rights = {QStringLiteral("305")};
    return r;
}

TableRules ScheduleRules::notices()
{
    TableRules r;
    r.table = QStringLiteral("tblBoard");
    r.required = {{"BTitle", "请输入公告主题！"},
                  {"BDate", "请输入公告日期！"},
                  {"Man", "请输入公告人！"},
                  {"Memo", "请输入公告事项描述内容！"}};
    r.deleteQuestion = QStringLiteral("真的要删除该公告记录吗？");
    return r;
}
