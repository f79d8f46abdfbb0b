// What the main window's own actions run, after the action table has
// written their log line, selected their page and checked the Sys flag.
#include "app/desktop.h"
#include "ui/desktopprograms.h"
#include "app/modulehost.h"
#include "app/tfrmabout.h"
#include "app/tfrmmain.h"
#include "app/tfrmserver.h"
#include "ui/prompts.h"
#include "admin/tfrmpassword.h"
#include "admin/tfrmsyslog.h"
#include "admin/tfrmuser.h"
#include "admin/tfrmuserinfo.h"
#include "data/apppaths.h"
#include "data/database.h"
#include "data/privatefiles.h"
#include "schedule/tfrmboard.h"
#include "schedule/tfrmplan.h"
#include "schedule/tfrmtoday.h"

#include <QAction>
#include <QDir>

void TfrmMain::Act_PasswordExecute()
{
    TfrmPassword dlg(this);
    dlg.exec();
    reloadRights();
}

void TfrmMain::Act_UserExecute()
{
    // User management leads to the rights window, which may have changed
    // the current user's own rights.
    TfrmUser dlg(this);
    dlg.exec();
    reloadRights();
}

void TfrmMain::Act_UserInfoExecute()
{
    TfrmUserInfo dlg(this);
    dlg.exec();
    reloadRights();
}

void TfrmMain::Act_SysLogExecute()
{
    // The export goes there; a missing folder is made again.
    PrivateFiles::makeFolder(AppPaths::path(QStringLiteral("Log")));
    TfrmSysLog dlg(*database(), this);
    dlg.exec();
}

void TfrmMain::Act_ServerExecute()
{
    for (;;) {
        TfrmServer dlg([this] { return database(); },
                       [this](std::unique_ptr<Database> db) { return switchDatabase(std::move(db)); }, this);
        dlg.exec();
        if (database())
            return;
        // A change that failed both ways leaves no database: nothing can
        // be stored until another one is chosen, so the choice is offered
        // again rather than leaving a window that cannot work.
        if (!Prompts::instance().askYesNo(QStringLiteral("程序现在没有连接任何数据库，是否重新进行服务器设置？\n（选择“否”将退出程序）"))) {
            endProgram();
            return;
        }
    }
}

void TfrmMain::Act_ExitExecute()
{
    close();
}

void TfrmMain::Act_PlanExecute()
{
    m_host->showSchedule();
    setToolsPanelVisible(true);
    action(QStringLiteral("Act_Tools"))->setChecked(true);
    if (m_plan)
        m_plan->open();
}

void TfrmMain::Act_TodayExecute()
{
    TfrmToday today(this);
    today.exec();
}

void TfrmMain::Act_BoardExecute()
{
    TfrmBoard board(this);
    board.exec();
}

void TfrmMain::Act_CalculatorExecute()
{
    DesktopPrograms::startFirstFound(DesktopPrograms::calculators());
}

void TfrmMain::Act_CalendarExecute()
{
    DesktopPrograms::startFirstFound(DesktopPrograms::dateTimeSettings());
}

void TfrmMain::Act_SysInfoExecute()
{
    DesktopPrograms::startFirstFound(DesktopPrograms::systemMonitors());
}

void TfrmMain::Act_NavigationExecute()
{
    // The menu item has already flipped its tick.
    setNavigationVisible(action(QStringLiteral("Act_Navigation"))->isChecked());
}

void TfrmMain::Act_ToolsExecute()
{
    setToolsPanelVisible(action(QStringLiteral("Act_Tools"))->isChecked());
}

void TfrmMain::Act_ToolsButtonExecute()
{
    // Flips the panel and then makes the tick say what is seen: a module
    // may have hidden the panel while the item stayed ticked, and flipping
    // the tick as well would leave the two disagreeing from then on.
    setToolsPanelVisible(!toolsPanelVisible());
    action(QStringLiteral("Act_Tools"))->setChecked(toolsPanelVisible());
}

void TfrmMain::Act_AboutExecute()
{
    TfrmAbout dlg(this);
    dlg.exec();
}

void TfrmMain::Act_HelpExecute()
{
    Desktop::open(Desktop::helpFile());
}

void TfrmMain::Act_HomepageExecute()
{
    Desktop::open(QUrl(Maker::kWebsite));
}

void TfrmMain::Act_ContactExecute()
{
    Desktop::open(Desktop::mailTo(Maker::kSupportMail, QStringLiteral("Subject:Wanna ask a question!"),
                                  QStringLiteral("Hello!")));
}
