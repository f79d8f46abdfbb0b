// The module windows: each is made once, on its first opening, and lives
// in the work area for the rest of the run.
#include "app/mainactions.h"
#include "app/modulehost.h"
#include "app/tfrmmain.h"
#include "customers/tfrmcustomers.h"
#include "staff/tfrmoperaters.h"
#include "tools/tfrmtools.h"

#include <QAction>
#include <QToolBox>

namespace {
// The wiring every module shares with the main window: the tools panel
// follows its records, and opening a record hides the navigation panel.
template <class Module>
Module *moduleIn(TfrmMain *main, ModuleHost *host)
{
    if (auto *m = host->findChild<Module *>(QString(), Qt::FindDirectChildrenOnly))
        return m;
    auto *m = new Module(host);
    QObject::connect(m, &ModuleFrame::folderChosen, main, [main](const QString &path) {
        if (TfrmTools *tools = main->toolsPanel())
            tools->setFolder(path);
    });
    QObject::connect(m, &ModuleFrame::detailOpened, main, [main] {
        main->setNavigationVisible(false);
        main->navigation()->setCurrentIndex(int(NavPage::Business));
    });
    return m;
}
} // namespace

void TfrmMain::Act_OperatersExecute()
{
    auto *w = moduleIn<TfrmOperaters>(this, m_host);
    setToolsPanelVisible(false);
    if (QAction *a = action(QStringLiteral("Act_Tools")))
        a->setChecked(false);
    m_host->switchToModule(w);
    w->open();
}

void TfrmMain::Act_CustomersExecute()
{
    auto *w = moduleIn<TfrmCustomers>(this, m_host);
    setToolsPanelVisible(false);
    if (QAction *a = action(QStringLiteral("Act_Tools")))
        a->setChecked(false);
    navigation()->setCurrentIndex(int(NavPage::Business));
    m_host->switchToModule(w);
    w->open();
}
