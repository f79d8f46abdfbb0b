#include "tools/tfrmtools.h"

#include "data/userrights.h"
#include "ui/desktopprograms.h"
#include "data/documentfolders.h"
#include "tools/filelist.h"
#include "tools/tfrmnewfile.h"
#include "tools/tfrmpastefile.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QScreen>
#include <QShowEvent>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kEnvelopeRight = QStringLiteral("503");

QToolButton *toolButton(QWidget *parent, const QString &name, const QString &caption, QStyle::StandardPixmap icon)
{
    auto *b = new QToolButton(parent);
    b->setObjectName(name);
    b->setText(caption);
    b->setIcon(parent->style()->standardIcon(icon));
    b->setIconSize(QSize(32, 32));
    // Icon and caption are one button, so either reacts to a click.
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setAutoRaise(true);
    return b;
}
} // namespace

TfrmTools::TfrmTools(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowMinimizeButtonHint
                          | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("TfrmTools"));
    setWindowTitle(QStringLiteral("文件及工具栏"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(buildTools());
    layout->addWidget(buildFileArea(), 1);
    resize(240, 520);
    setFolder(DocumentFolders::root());
}

QWidget *TfrmTools::buildTools()
{
    auto *area = new QWidget(this);
    auto *grid = new QGridLayout(area);
    grid->setContentsMargins(0, 0, 0, 0);
    struct Tool {
        const char *name;
        const char *caption;
        QStyle::StandardPixmap icon;
        void (TfrmTools::*run)();
    };
    const Tool tools[] = {
        {"BtnCalculator", "计算器", QStyle::SP_ComputerIcon, &TfrmTools::runCalculator},
        {"BtnCalendar", "日历", QStyle::SP_FileDialogDetailedView, &TfrmTools::runCalendar},
        {"BtnSysInfo", "系统信息", QStyle::SP_MessageBoxInformation, &TfrmTools::runSystemInformation},
        {"BtnEnvelope", "信封标签", QStyle::SP_DialogSaveButton, &TfrmTools::runEnvelopeLabels},
    };
    int i = 0;
    for (const Tool &t : tools) {
        auto *b = toolButton(area, QString::fromLatin1(t.name), QString::fromUtf8(t.caption), t.icon);
        connect(b, &QToolButton::clicked, this, t.run);
        grid->addWidget(b, i / 2, i % 2);
        ++i;
    }
    return area;
}

QWidget *TfrmTools::buildFileArea()
{
    auto *area = new QWidget(this);
    auto *layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    struct Command {
        const char *name;
        const char *caption;
        void (TfrmTools::*run)();
    };
    const Command commands[] = {
        {"BtnNewFile", "新建文件", &TfrmTools::newFile}, {"BtnCut", "剪切", &TfrmTools::cutFile},
        {"BtnCopy", "复制", &TfrmTools::copyFile},       {"BtnRoot", "文件根目录", &TfrmTools::goRoot},
        {"BtnUp", "向上", &TfrmTools::goUp},             {"BtnRefresh", "刷新", &TfrmTools::refreshList},
    };
    auto *bar = new QGridLayout;
    int i = 0;
    for (const Command &c : commands) {
        auto *b = new QToolButton(area);
        b->setObjectName(QString::fromLatin1(c.name));
        b->setText(QString::fromUtf8(c.caption));
        b->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        connect(b, &QToolButton::clicked, this, c.run);
        bar->addWidget(b, i / 3, i % 3);
        ++i;
    }
    layout->addLayout(bar);
    m_folderLine = new QLineEdit(area);
    m_folderLine->setObjectName(QStringLiteral("EdtFolder"));
    m_folderLine->setReadOnly(true);
    layout->addWidget(m_folderLine);
    m_list = new FileList(area);
    layout->addWidget(m_list, 1);
    connect(m_list, &FileList::folderChanged, this, &TfrmTools::setFolder);
    return area;
}

void TfrmTools::setFolder(const QString &path)
{
    m_list->setFolder(path);
    m_folderLine->setText(QDir::toNativeSeparators(m_list->folder()));
    emit folderChanged(m_list->folder());
}

QString TfrmTools::folder() const { return m_list->folder(); }

void TfrmTools::newFile()
{
    if (logCommand(QStringLiteral("文件管理-新建文件")))
        openNewFileDialog();
}

void TfrmTools::openNewFileDialog()
{
    TfrmNewFile dlg(folder(), this);
    connect(&dlg, &TfrmNewFile::folderChosen, this, &TfrmTools::setFolder);
    dlg.exec();
    refreshList();
}

void TfrmTools::cutFile()
{
    if (logCommand(QStringLiteral("文件管理-剪切文件")))
        openPasteDialog(PasteMode::Cut);
}

void TfrmTools::copyFile()
{
    if (logCommand(QStringLiteral("文件管理-复制文件")))
        openPasteDialog(PasteMode::Copy);
}

void TfrmTools::openPasteDialog(PasteMode mode)
{
    m_pasteMode = mode;
    TfrmPasteFile dlg(m_pasteMode == PasteMode::Cut ? TfrmPasteFile::Mode::Cut : TfrmPasteFile::Mode::Copy,
                      folder(), this);
    connect(&dlg, &TfrmPasteFile::folderChosen, this, &TfrmTools::setFolder);
    dlg.exec();
    m_list->refresh(); // a cut may have taken a file from here
}

void TfrmTools::goRoot()
{
    if (logCommand(QStringLiteral("文件管理-文件根目录")))
        setFolder(DocumentFolders::root());
}

void TfrmTools::goUp()
{
    if (!logCommand(QStringLiteral("文件管理-向上")))
        return;
    QDir dir(folder());
    if (dir.cdUp())
        setFolder(dir.absolutePath());
}

void TfrmTools::refreshList()
{
    if (logCommand(QStringLiteral("文件管理-刷新")))
        m_list->refresh();
}

void TfrmTools::runCalculator()
{
    if (logCommand(QStringLiteral("工具-计算器")))
        DesktopPrograms::startFirstFound(DesktopPrograms::calculators());
}

void TfrmTools::runCalendar()
{
    if (logCommand(QStringLiteral("工具-日历")))
        DesktopPrograms::startFirstFound(DesktopPrograms::dateTimeSettings());
}

void TfrmTools::runSystemInformation()
{
    if (logCommand(QStringLiteral("工具-系统信息")))
        DesktopPrograms::startFirstFound(DesktopPrograms::systemMonitors());
}

void TfrmTools::runEnvelopeLabels()
{
    // A refused user leaves no line in the log: only labels really opened are logged.
    if (!UserRights::current().holds(kEnvelopeRight)) {
        Prompts::instance().warn(QStringLiteral("对不起，您不能使用信封标签打印功能！"));
        return;
    }
    if (!logCommand(QStringLiteral("工具-信封标签")))
        return;
    emit envelopeLabelsRequested();
}

void TfrmTools::placeBesideAnchor()
{
    if (!m_anchor)
        return;
    // Level with the top of the work area, so that the menus and the tool
    // strip above it stay within reach. Outside the anchor's right edge
    // when the screen has room there, else just inside it.
    const QRect frame = m_anchor->frameGeometry();
    const QWidget *area = m_area ? m_area.data() : m_anchor.data();
    const int top = area->mapToGlobal(QPoint(0, 0)).y();
    const int bottom = m_anchor->mapToGlobal(QPoint(0, m_anchor->height())).y();
    const QSize frameExtra = frameGeometry().size() - size();
    resize(width(), qBound(200, bottom - top - frameExtra.height(), 520));
    const int frameWidth = width() + frameExtra.width();
    const QScreen *screen = m_anchor->screen();
    const bool roomOutside = screen && frame.right() + frameWidth <= screen->availableGeometry().right();
    move(roomOutside ? frame.right() + 1 : frame.right() + 1 - frameWidth, top);
}

void TfrmTools::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return; // restored from the task bar: stays where the user put it
    placeBesideAnchor();
    emit visibilityChanged(true);
}

void TfrmTools::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (!event->spontaneous())
        emit visibilityChanged(false);
}
