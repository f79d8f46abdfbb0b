// Mass e-mail in the work area and the envelope labels.
#include "app/mainactions.h"
#include "app/modulehost.h"
#include "app/tfrmmain.h"
#include "mail/tfrmenvelop.h"
#include "mail/tfrmmail.h"

#include <QAction>
#include <QToolBox>

void TfrmMain::Act_MailExecute()
{
    ModulePanel *&panel = m_modules[QStringLiteral("Act_Mail")];
    if (!panel) {
        panel = new TfrmMail(m_host);
        // The mail window has the whole work area; "关闭" gives the main
        // window its navigation and schedule back, on "业务管理".
        connect(panel, &ModulePanel::detailOpened, this, [this] { setNavigationVisible(false); });
        connect(panel, &ModulePanel::closeRequested, this, [this] {
            setNavigationVisible(true);
            m_nav->setCurrentIndex(int(NavPage::Business));
            m_host->showSchedule();
        });
    }
    setToolsPanelVisible(false);
    if (QAction *a = action(QStringLiteral("Act_Tools")))
        a->setChecked(false);
    m_host->switchToModule(panel);
    panel->open();
}

void TfrmMain::Act_EnvelopExecute()
{
    TfrmEnvelop::run(this);
}
