#include "app/tfrmmain.h"

#include "app/tfrmserver.h"
#include "data/apppaths.h"
#include "data/clock.h"
#include "data/database.h"
#include "data/dbsetup.h"
#include "data/dmmain.h"
#include "data/format.h"
#include "data/session.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>

namespace {
const QString kExitQuestion = QStringLiteral("真的要退出Brevia吗？");
const QString kExitCaption = QStringLiteral("系统退出确认");
constexpr int kPanelWidths[5] = {220, 150, 250, 200, 150};
} // namespace

TfrmMain::TfrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(QStringLiteral("Brevia2003（网络版）"));
    createStandardFolders();

    // The work area's client size of the old screens; the menu, the tool
    // strip and the navigation come around it.
    auto *work = new QWidget(this);
    work->setObjectName(QStringLiteral("WorkArea"));
    work->setMinimumSize(792, 554);
    setCentralWidget(work);

    for (int i = 0; i < 5; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setAlignment(Qt::AlignCenter);
        m_panels[i]->setFixedWidth(kPanelWidths[i]);
        statusBar()->addWidget(m_panels[i]);
    }
    m_panels[0]->setText(QStringLiteral("欢迎使用Brevia！"));
    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &TfrmMain::refreshStatusBar);
    m_clock->start();
    refreshStatusBar();

    adjustSize();
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

TfrmMain::~TfrmMain() = default;

void TfrmMain::createStandardFolders()
{
    const QString root = AppPaths::documentRoot();
    QDir().mkpath(root);
    QDir().mkpath(root + QStringLiteral("Plans"));
    QDir().mkpath(AppPaths::path(QStringLiteral("Backup")));
    QDir().mkpath(AppPaths::path(QStringLiteral("Log")));
}

Database *TfrmMain::database() const
{
    return m_dm ? m_dm->database() : nullptr;
}

QString TfrmMain::switchDatabase(std::unique_ptr<Database> db)
{
    const QString previous = database() ? database()->location() : QString();
    const QString error = m_dm->connectTo(std::move(db));
    if (error.isEmpty() || previous.isEmpty())
        return error;
    QString again;
    if (auto old = DbSetup::openExisting(previous, &again))
        m_dm->connectTo(std::move(old));
    return error;
}

void TfrmMain::refreshStatusBar()
{
    m_panels[1]->setText(QStringLiteral("操作员：  ") + Session::current().userId());
    m_panels[2]->setText(QStringLiteral("当前系统时间：   ") + Format::dateTime(Clock::instance().now()));
}

bool TfrmMain::FormShow()
{
    // The database this workstation is configured for, not the default
    // file: a workstation on a shared file has no local Data/HKP30.hdb. A
    // PostgreSQL server has no file; its connection has already succeeded.
    const Database *db = database();
    if (!db || db->isPostgres() || QFileInfo::exists(db->location()))
        return true;
    Prompts::instance().warn(QStringLiteral("对不起，数据文件没有找到！请查找HKP30.hdb文件，\n并将文件复制到")
                             + AppPaths::applicationDirectory() + QStringLiteral("Data目录下！"));
    endProgram();
    return false;
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    refreshStatusBar(); // the user is known by now
    if (m_shown)
        return;
    m_shown = true;
    // After the window is on screen, so the message has a parent.
    QTimer::singleShot(0, this, [this] { FormShow(); });
}

void TfrmMain::endProgram()
{
    m_ending = true;
    QTimer::singleShot(0, this, &QWidget::close);
}

void TfrmMain::exitSystem()
{
    // The line is written even when the question is then answered No.
    if (database() && !logCommand(*database(), QStringLiteral("系统设置-退出系统")))
        return;
    close();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (m_ending || Prompts::instance().askYesNo(kExitQuestion, true, kExitCaption)) {
        m_clock->stop();
        event->accept();
    } else {
        event->ignore();
    }
}

void TfrmMain::openServerSettings()
{
    if (!database() || !logCommand(*database(), QStringLiteral("系统设置-服务器设置")))
        return;
    TfrmServer dlg([this] { return database(); },
                   [this](std::unique_ptr<Database> db) { return switchDatabase(std::move(db)); }, this);
    dlg.exec();
}
