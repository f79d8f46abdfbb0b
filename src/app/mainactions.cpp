#include "app/mainactions.h"

#include "analyses/tfrmclassanalyse.h"
#include "analyses/tfrmfinanceanalyse.h"
#include "analyses/tfrmsortanalyse.h"
#include "analyses/tfrmtimeanalyse.h"
#include "app/tfrmmain.h"
#include "contacts/tfrmlinkman.h"
#include "contracts/tfrmgathering.h"
#include "contracts/tfrmoperates.h"
#include "customers/tfrmcustomers.h"
#include "staff/tfrmoperaters.h"
#include "workers/tfrmshusong.h"
#include "workers/tfrmyuangong.h"

namespace {

enum Menu { System, Internal, Basic, Business, Files, Analysis, Tools, Window, Help };

QVector<MainAction> build()
{
    using P = NavPage;
    using M = TfrmMain;
    const QKeySequence none;
    auto ctrl = [](Qt::Key k) { return QKeySequence(Qt::CTRL | k); };
    auto ctrlAlt = [](Qt::Key k) { return QKeySequence(Qt::CTRL | Qt::ALT | k); };
    auto key = [](Qt::Key k) { return QKeySequence(k); };

    // clang-format off
    return {
        // 系统设置
        {"Act_Password",   System, "口令设置",       ctrl(Qt::Key_K), "101", P::System, "系统设置-口令设置", &M::Act_PasswordExecute},
        {"Act_User",       System, "用户管理",       ctrl(Qt::Key_U), "102", P::System, "系统设置-用户管理", &M::Act_UserExecute, false, true},
        {"Act_Backup",     System, "数据备份",       ctrl(Qt::Key_B), "103", P::System, "系统设置-数据备份", &M::Act_BackupExecute},
        {"Act_Restore",    System, "数据恢复",       ctrl(Qt::Key_R), "104", P::System, "系统设置-数据恢复", &M::Act_RestoreExecute},
        {"Act_SysLog",     System, "系统日志",       ctrl(Qt::Key_L), "105", P::System, "系统设置-系统日志", &M::Act_SysLogExecute, false, true},
        {"Act_UserInfo",   System, "用户信息",       ctrl(Qt::Key_I), "106", P::System, "系统设置-用户信息", &M::Act_UserInfoExecute},
        {"Act_Server",     System, "服务器设置...",  none,            "107", P::System, "系统设置-服务器设置", &M::Act_ServerExecute},
        // Kept out of sight: the old import items are not offered.
        {"Act_Import",     System, "数据导入",       none,            "",    P::None,   "", nullptr, true},
        {"Act_Exit",       System, "退出系统 (&X)",  none,            "",    P::None,   "系统设置-退出系统", &M::Act_ExitExecute},
        // 内部管理
        {"Act_Department", Internal, "部门设置",     none, "201", P::Internal, "内部管理-部门设置", &M::Act_DepartmentExecute},
        {"Act_Gongzhong",  Internal, "工种设置",     none, "602", P::Internal, "内部管理-工种设置", &M::Act_GongzhongExecute},
        {"Act_Jineng",     Internal, "技能级别",     none, "604", P::Internal, "内部管理-技能级别设置", &M::Act_JinengExecute},
        {"Act_Tijian",     Internal, "体检设定",     none, "605", P::Internal, "内部管理-体检设定", &M::Act_TijianExecute},
        {"Act_Shusong",    Internal, "输送单位",     none, "603", P::Internal, "内部管理-输送单位", moduleWindow<TfrmShusong>},
        {"Act_Yuangong",   Internal, "员工档案",     none, "601", P::Internal, "内部管理-员工档案", moduleWindow<TfrmYuangong>},
        {"Act_Operaters",  Internal, "工作人员资料", none, "303", P::Internal, "内部管理-业务员资料", moduleWindow<TfrmOperaters>},
        // 基础资料
        {"Act_Region",        Basic, "所在区设置",   none, "202", P::Basic, "基础资料-地区设置", &M::Act_RegionExecute},
        {"Act_Country",       Basic, "国家信息",     none, "203", P::Basic, "基础资料-国家信息", &M::Act_CountryExecute},
        {"Act_CurrencyRate",  Basic, "币别汇率设置", none, "204", P::Basic, "基础资料-币别汇率设置", &M::Act_CurrencyRateExecute},
        {"Act_FinanceOrgan",  Basic, "金融机构设置", none, "205", P::Basic, "基础资料-金融机构设置", &M::Act_FinanceOrganExecute},
        {"Act_OperateStyle",  Basic, "业务类型设置", none, "207", P::Basic, "基础资料-业务类型设置", &M::Act_OperateStyleExecute},
        {"Act_OperateOrigin", Basic, "业务来源设置", none, "208", P::Basic, "基础资料-业务来源设置", &M::Act_OperateOriginExecute},
        {"Act_OperateState",  Basic, "业务状态设置", none, "209", P::Basic, "基础资料-业务状态设置", &M::Act_OperateStateExecute},
        {"Act_CustLevel",     Basic, "客户级别定义", none, "210", P::Basic, "基础资料-客户级别定义", &M::Act_CustLevelExecute},
        {"Act_CustState",     Basic, "客户状态定义", none, "211", P::Basic, "基础资料-客户状态定义", &M::Act_CustStateExecute},
        {"Act_CustOrigin",    Basic, "客户来源定义", none, "212", P::Basic, "基础资料-客户来源定义", &M::Act_CustOriginExecute},
        {"Act_Vocation",      Basic, "客户类型设置", none, "206", P::Basic, "基础资料-行业类别设置", &M::Act_VocationExecute},
        // 客户业务管理
        {"Act_Customers",  Business, "客户资料",  key(Qt::Key_F2),     "301", P::Business, "客户业务管理-客户资料", moduleWindow<TfrmCustomers>},
        {"Act_Linkman",    Business, "联系人资料", key(Qt::Key_F3),    "302", P::Business, "客户业务管理-联系人资料", moduleWindow<TfrmLinkman>},
        {"Act_Operates",   Business, "业务资料",  key(Qt::Key_F5),     "304", P::Business, "客户业务管理-业务资料", moduleWindow<TfrmOperates>},
        {"Act_Plan",       Business, "日程安排",  key(Qt::Key_F6),     "305", P::Business, "客户业务管理-日程安排", &M::Act_PlanExecute},
        {"Act_Gathering",  Business, "应收账款",  ctrlAlt(Qt::Key_M),  "306", P::Business, "客户业务管理-应收账款", moduleWindow<TfrmGathering>},
        {"Act_Payment",    Business, "应付账款",  ctrlAlt(Qt::Key_N),  "307", P::Business, "客户业务管理-应付账款", moduleWindow<TfrmPayment>},
        {"Act_Assign",     Business, "客户业务工作分配", none, "", P::None, "客户业务管理-客户业务工作分配", &M::Act_AssignExecute, false, true},
        // The doubled 员 is the log text every workstation has always written.
        {"Act_OperaterTrack", Business, "工作人员跟踪管理", none, "", P::None, "客户业务管理-工作人员员跟踪管理", &M::Act_OperaterTrackExecute, false, true},
        // 文件管理: they act on the tools panel's current folder.
        {"Act_NewFile",    Files, "新建文件", none, "", P::None, "文件管理-新建文件", &M::Act_NewFileExecute},
        {"Act_CutFile",    Files, "剪切文件", none, "", P::None, "文件管理-剪切文件", &M::Act_CutFileExecute},
        {"Act_CopyFile",   Files, "复制文件", none, "", P::None, "文件管理-复制文件", &M::Act_CopyFileExecute},
        // 图表分析
        {"Act_CustLevelAnalyse",    Analysis, "客户级别分析", none, "403", P::Analysis, "图表分析-客户级别分析", moduleWindow<TfrmCustLevelAnalyse>},
        {"Act_CustTypeAnalyse",     Analysis, "客户类型分析", none, "",    P::None,     "", nullptr, true},
        {"Act_CustOriginAnalyse",   Analysis, "客户来源分析", none, "405", P::Analysis, "图表分析-客户来源分析", moduleWindow<TfrmCustOriginAnalyse>},
        {"Act_CustStateAnalyse",    Analysis, "客户状态分析", none, "406", P::Analysis, "图表分析-客户状态分析", moduleWindow<TfrmCustStateAnalyse>},
        {"Act_CustVocationAnalyse", Analysis, "客户类型分析", none, "407", P::Analysis, "图表分析-客户行业分析", moduleWindow<TfrmCustVocationAnalyse>},
        {"Act_InOutAnalyse",        Analysis, "收支趋势分析", none, "408", P::None,     "", nullptr, true},
        {"Act_DistAnalyse",         Analysis, "地区分布分析", none, "401", P::None,     "", nullptr, true},
        {"Act_TimeAnalyse",         Analysis, "按时间分析",   none, "402", P::Analysis, "图表分析-按时间分析", moduleWindow<TfrmTimeAnalyse>},
        {"Act_OperateOriginAnalyse",Analysis, "业务来源分析", none, "409", P::Analysis, "图表分析-业务来源分析", moduleWindow<TfrmOperateOriginAnalyse>},
        {"Act_OperateStyleAnalyse", Analysis, "业务类型分析", none, "410", P::Analysis, "图表分析-业务类型分析", moduleWindow<TfrmOperateStyleAnalyse>},
        {"Act_OperateSortAnalyse",  Analysis, "业务排行榜",   none, "411", P::Analysis, "图表分析-业务排行榜", moduleWindow<TfrmOperateSortAnalyse>},
        {"Act_CustomerSortAnalyse", Analysis, "客户排行榜",   none, "412", P::Analysis, "图表分析-客户排行榜", moduleWindow<TfrmCustomerSortAnalyse>},
        {"Act_OperaterSortAnalyse", Analysis, "工作人员绩效排行榜", none, "413", P::Analysis, "图表分析-业务员绩效排行榜", moduleWindow<TfrmOperaterSortAnalyse>},
        {"Act_FinanceAnalyse",      Analysis, "资金分配分析", none, "414", P::Analysis, "图表分析-资金分配分析", moduleWindow<TfrmFinanceAnalyse>},
        // 工具
        {"Act_Board",      Tools, "公告板",   key(Qt::Key_F7), "501", P::None, "工具-公告板", &M::Act_BoardExecute},
        {"Act_Calculator", Tools, "计算器",   none,            "",    P::None, "工具-计算器", &M::Act_CalculatorExecute},
        {"Act_Calendar",   Tools, "日历",     none,            "",    P::None, "工具-日历", &M::Act_CalendarExecute},
        {"Act_SysInfo",    Tools, "系统信息", none,            "",    P::None, "工具-系统信息", &M::Act_SysInfoExecute},
        {"Act_Mail",       Tools, "邮件群发", key(Qt::Key_F8), "502", P::None, "工具-邮件群发", &M::Act_MailExecute, true},
        {"Act_Envelop",    Tools, "信封标签", key(Qt::Key_F9), "503", P::None, "工具-信封标签", &M::Act_EnvelopExecute},
        {"Act_Today",      Tools, "今日事",   none,            "",    P::None, "工具-今日事", &M::Act_TodayExecute},
        // 窗口
        {"Act_Navigation", Window, "系统导航",         none, "", P::None, "窗口-系统导航", &M::Act_NavigationExecute, false, false, true},
        {"Act_Tools",      Window, "文件管理及工具栏", none, "", P::None, "窗口-文件管理及工具栏", &M::Act_ToolsExecute, false, false, true},
        // The tool button's own variant of the tools toggle; not in the menu.
        {"Act_ToolsButton", -1, "文件管理及工具栏", none, "", P::None, "窗口-文件管理及工具栏", &M::Act_ToolsButtonExecute},
        // 帮助
        {"Act_About",    Help, "关于Brevia2003",   none,             "", P::None, "帮助-关于Brevia2003", &M::Act_AboutExecute},
        {"Act_Help",     Help, "如何使用",         key(Qt::Key_F1),  "", P::None, "帮助-系统帮助", &M::Act_HelpExecute},
        {"Act_Homepage", Help, "公司及其产品介绍", key(Qt::Key_F12), "", P::None, "帮助-公司及产品介绍", &M::Act_HomepageExecute},
        {"Act_Contact",  Help, "联系我们...",      none,             "", P::None, "帮助-联系我们", &M::Act_ContactExecute},
        {"Act_Support",  Help, "技术支持",         none,             "", P::None, "", &M::Act_HomepageExecute},
    };
    // clang-format on
}

} // namespace

const QStringList &mainMenus()
{
    static const QStringList menus = {"系统设置(&S)", "内部管理(&M)", "基础资料(&B)", "客户业务管理(&C)", "文件管理(&F)",
                                      "图表分析(&G)", "工具(&T)",     "窗口(&W)",     "帮助(&H)"};
    return menus;
}

const QVector<MainAction> &mainActions()
{
    static const QVector<MainAction> actions = build();
    return actions;
}

const MainAction *mainAction(const QString &id)
{
    for (const MainAction &a : mainActions())
        if (a.id == id)
            return &a;
    return nullptr;
}

const QVector<NavPageDef> &navPages()
{
    static const QVector<NavPageDef> pages = {
        {"系统设置", {"Act_Password", "Act_User", "Act_Backup", "Act_Restore", "Act_SysLog", "Act_UserInfo"}},
        {"基础资料",
         {"Act_CurrencyRate", "Act_FinanceOrgan", "Act_Vocation", "Act_OperateStyle", "Act_OperateOrigin",
          "Act_CustLevel", "Act_CustState"}},
        {"业务管理", {"Act_Customers", "Act_Linkman", "Act_Operates", "Act_Plan", "Act_Gathering", "Act_Payment"}},
        {"图表分析",
         {"Act_TimeAnalyse", "Act_CustLevelAnalyse", "Act_CustOriginAnalyse", "Act_OperateOriginAnalyse",
          "Act_OperateStyleAnalyse", "Act_OperateSortAnalyse", "Act_CustomerSortAnalyse"}},
        {"内部管理", {"Act_Department", "Act_Gongzhong", "Act_Yuangong", "Act_Operaters", "Act_Shusong"}},
    };
    return pages;
}

const QVector<ToolButtonDef> &toolButtons()
{
    static const QVector<ToolButtonDef> buttons = {
        {"Act_Password", "口令设置"},     {"Act_Customers", "客户资料"},
        {"Act_Yuangong", "员工档案"},     {"Act_Operaters", "工作人员资料"},
        {"Act_Operates", "业务(合同)资料"}, {"Act_Plan", "日程安排"},
        {"Act_Navigation", "系统导航"},   {"Act_ToolsButton", "文件管理及工具栏"},
        {"Act_Homepage", "公司网站"},     {"Act_Help", "帮助"},
        {"Act_Exit", "退出系统"},
    };
    return buttons;
}
