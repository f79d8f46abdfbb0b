// The tools panel beside the main window and the "文件管理(&F)" entries,
// which act on the panel's current folder.
#include "app/tfrmmain.h"
#include "app/modulehost.h"
#include "mail/tfrmenvelop.h"
#include "tools/tfrmtools.h"

#include <QAction>

void TfrmMain::createToolsPanel()
{
    auto *tools = new TfrmTools(this);
    tools->setAnchor(this, m_host);
    // Closed with its title-bar button, or hidden by a module: the tick of
    // "文件管理及工具栏" and the tool button's toggle follow what is seen.
    connect(tools, &TfrmTools::visibilityChanged, this, [this](bool visible) {
        m_toolsVisible = visible;
        if (QAction *a = action(QStringLiteral("Act_Tools")))
            a->setChecked(visible);
    });
    // The envelope icon has checked the right and written its log line.
    connect(tools, &TfrmTools::envelopeLabelsRequested, this, [this] { TfrmEnvelop::run(this); });
    setToolsPanel(tools);
}

TfrmTools *TfrmMain::toolsPanel() const
{
    return qobject_cast<TfrmTools *>(m_toolsPanel.data());
}

void TfrmMain::Act_NewFileExecute()
{
    if (TfrmTools *tools = toolsPanel())
        tools->openNewFileDialog();
}

void TfrmMain::Act_CutFileExecute()
{
    if (TfrmTools *tools = toolsPanel())
        tools->openPasteDialog(TfrmTools::PasteMode::Cut);
}

void TfrmMain::Act_CopyFileExecute()
{
    if (TfrmTools *tools = toolsPanel())
        tools->openPasteDialog(TfrmTools::PasteMode::Copy);
}
