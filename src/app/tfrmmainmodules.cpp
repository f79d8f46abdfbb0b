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
    ModulePanel *&frame = m_modules[def.id];
    if (!frame) {
        frame = def.run.module(m_host);
        // The tools panel follows the module's records, and opening a
        // record hides the navigation panel on the action's own page.
        connect(frame, &ModulePanel::folderChosen, this, [this](const QString &path) {
            if (TfrmTools *tools = toolsPanel())
                tools->setFolder(path);
        });
        connect(frame, &ModulePanel::detailOpened, this, [this, page = def.page] {
            setNavigationVisible(false);
            if (page != NavPage::None)
                m_nav->setCurrentIndex(int(page));
        });
        connect(frame, &ModulePanel::closeRequested, this, [this, page = def.page] {
            if (page != NavPage::None)
                m_nav->setCurrentIndex(int(page));
            m_host->showSchedule();
        });
        connect(frame, &ModulePanel::navigationRequested, this, &TfrmMain::setNavigationVisible);
    }
    // A module has the whole screen; the tools panel comes back with the
    // schedule or its own item.
    setToolsPanelVisible(false);
    if (QAction *a = action(QStringLiteral("Act_Tools")))
        a->setChecked(false);
    m_host->switchToModule(frame);
    frame->navigationShown(!m_nav->isHidden());
    frame->open();
}

ModuleFrame *TfrmMain::module(const QString &actionId) const
{
    return qobject_cast<ModuleFrame *>(m_modules.value(actionId));
}
