// The module windows: each is made by its action's factory on the first
// opening and lives in the work area for the rest of the run.
#include "app/mainactions.h"
#include "app/modulehost.h"
#include "app/tfrmmain.h"
#include "tools/tfrmtools.h"
#include "ui/moduleframe.h"

#include <QAction>
#include <QToolBox>

void TfrmMain::openModule(const MainAction &def)
{
    ModuleFrame *&frame = m_modules[def.id];
    if (!frame) {
        frame = def.run.module(m_host);
        // The tools panel follows the module's records, and opening a
        // record hides the navigation panel on the action's own page.
        connect(frame, &ModuleFrame::folderChosen, this, [this](const QString &path) {
            if (TfrmTools *tools = toolsPanel())
                tools->setFolder(path);
        });
        connect(frame, &ModuleFrame::detailOpened, this, [this, page = def.page] {
            setNavigationVisible(false);
            if (page != NavPage::None)
                m_nav->setCurrentIndex(int(page));
        });
    }
    // A module has the whole screen; the tools panel comes back with the
    // schedule or its own item.
    setToolsPanelVisible(false);
    if (QAction *a = action(QStringLiteral("Act_Tools")))
        a->setChecked(false);
    m_host->switchToModule(frame);
    frame->open();
}
