#include "app/tfrmmain.h"

#include "app/desktop.h"
#include "app/mainactions.h"
#include "app/mainpictures.h"
#include "app/modulehost.h"
#include "app/numlock.h"
#include "data/apppaths.h"
#include "data/clock.h"
#include "data/condition.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dbsetup.h"
#include "data/dmmain.h"
#include "data/format.h"
#include "data/privatefiles.h"
#include "data/recordscope.h"
#include "data/session.h"
#include "data/sharedsets.h"
#include "data/userrights.h"
#include "schedule/tfrmplan.h"
#include "schedule/tfrmplannew.h"
#include "tools/tfrmtools.h"
#include "ui/folderfollow.h"
#include "ui/logcommand.h"
#include "ui/modulepanel.h"
#include "ui/prompts.h"

#include <QAbstractEventDispatcher>
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QToolBox>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString kExitQuestion = QStringLiteral("真的要退出Brevia吗？");
const QString kExitCaption = QStringLiteral("系统退出确认");
constexpr int kPanelWidths[5] = {220, 150, 250, 200, 150};
constexpr int kNavPanelWidth = 125;

// A button of the tool strip or the navigation panel follows its action's
// enabled state and runs it, so a right is checked in one place only.
void bindButton(QToolButton *button, QAction *action)
{
    button->setEnabled(action->isEnabled());
    QObject::connect(action, &QAction::changed, button, [button, action] { button->setEnabled(action->isEnabled()); });
    QObject::connect(button, &QToolButton::clicked, action, &QAction::trigger);
}
} // namespace

TfrmMain::TfrmMain(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("TfrmMain"));
    setWindowTitle(QStringLiteral("Brevia2003（网络版）"));
    createStandardFolders();

    buildActions();
    buildToolStrip();

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setObjectName(QStringLiteral("NavSplitter"));
    splitter->setChildrenCollapsible(false);
    m_nav = new QToolBox(splitter);
    m_nav->setObjectName(QStringLiteral("Navigation"));
    m_nav->setFixedWidth(kNavPanelWidth);
    buildNavigation();
    m_host = new ModuleHost(splitter);
    splitter->addWidget(m_nav);
    splitter->addWidget(m_host);
    splitter->setStretchFactor(1, 1);
    setCentralWidget(splitter);

    buildStatusBar();
    m_clock = new QTimer(this);
    m_clock->setInterval(1000);
    connect(m_clock, &QTimer::timeout, this, &TfrmMain::refreshStatusBar);
    m_clock->start();
    refreshStatusBar();

    // The rights are checked whenever the event loop runs out of work, as
    // the old program did on idle; the checks are lookups in memory.
    if (auto *dispatcher = QAbstractEventDispatcher::instance())
        connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &TfrmMain::updateActions);
    // The Num Lock key refreshes its panel at once, wherever the focus is.
    qApp->installEventFilter(this);
    updateActions();

    // It opens at the old screens' size (their client area below the menu)
    // and may grow to the whole screen: the work area and what it shows
    // grow with it, and pages that do not fit a small one scroll.
    QSize first(792, 554 + menuBar()->sizeHint().height());
    QSize least(600, 450);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size();
        first = first.boundedTo(room);
        least = least.boundedTo(room);
    }
    setMinimumSize(least);
    resize(first);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

QString TfrmMain::placesFile()
{
    return AppPaths::path(QStringLiteral("Window.ini"));
}

void TfrmMain::showAtUsersPlace()
{
    const QString user = Session::current().userId();
    QSettings places(placesFile(), QSettings::IniFormat);
    const QByteArray geometry = user.isEmpty() ? QByteArray() : places.value(user + QStringLiteral("/geometry")).toByteArray();
    // A place on a screen that is gone is brought back onto this one.
    if (!geometry.isEmpty())
        restoreGeometry(geometry);
    if (!user.isEmpty() && places.value(user + QStringLiteral("/maximized")).toBool()) {
        showMaximized();
        return;
    }
    show();
    // The frame the window manager adds is known a moment after the window
    // is up; on a small or magnified screen the whole window, title bar and
    // status bar, is then brought onto it, unless the clerk has already
    // resized or maximised it.
    QTimer::singleShot(250, this, [this, shown = size()] {
        const QScreen *s = screen();
        if (!s || isMaximized() || size() != shown)
            return;
        const QRect room = s->availableGeometry();
        const QSize frame = frameGeometry().size() - size();
        resize(size().boundedTo(room.size() - frame).expandedTo(minimumSize()));
        QRect f = frameGeometry();
        f.moveLeft(qBound(room.left(), f.left(), qMax(room.left(), room.right() - f.width() + 1)));
        f.moveTop(qBound(room.top(), f.top(), qMax(room.top(), room.bottom() - f.height() + 1)));
        move(f.topLeft());
    });
}

void TfrmMain::keepUsersPlace() const
{
    const QString user = Session::current().userId();
    if (user.isEmpty() || !isVisible())
        return;
    QSettings places(placesFile(), QSettings::IniFormat);
    places.setValue(user + QStringLiteral("/geometry"), saveGeometry());
    places.setValue(user + QStringLiteral("/maximized"), isMaximized());
}

TfrmMain::~TfrmMain()
{
    setFolderFollower({});
}

void TfrmMain::buildActions()
{
    QVector<QMenu *> menus;
    for (const QString &caption : mainMenus())
        menus << menuBar()->addMenu(caption);
    for (const MainAction &def : mainActions()) {
        auto *a = new QAction(def.caption, this);
        a->setObjectName(def.id);
        a->setShortcut(def.shortcut);
        if (def.checkable) {
            a->setCheckable(true);
            a->setChecked(true);
        }
        // Every action belongs to the window, so a hidden item's shortcut
        // works although no menu shows it.
        addAction(a);
        if (def.menu >= 0 && !def.hidden)
            menus[def.menu]->addAction(a);
        connect(a, &QAction::triggered, this, [this, &def, a] { runAction(def, a); });
        m_actions.insert(def.id, a);
    }
}

void TfrmMain::buildToolStrip()
{
    auto *bar = new QToolBar(QStringLiteral("工具栏"), this);
    bar->setObjectName(QStringLiteral("ToolStrip"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setFixedHeight(MainPictures::kToolSize);
    bar->setContentsMargins(0, 0, 0, 0);
    bar->layout()->setContentsMargins(0, 0, 0, 0);
    // The picture is the background of a strip inside the bar: a tool bar
    // draws its own panel from the palette's plain colour, which a picture
    // brush does not have (it came out black).
    auto *strip = new QWidget(bar);
    strip->setObjectName(QStringLiteral("ToolStripButtons"));
    strip->setAutoFillBackground(true);
    QPalette pal = strip->palette();
    pal.setBrush(QPalette::Window, QBrush(MainPictures::toolStripBackground(64)));
    strip->setPalette(pal);
    auto *row = new QHBoxLayout(strip);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    int index = 0;
    for (const ToolButtonDef &def : toolButtons()) {
        auto *b = new QToolButton(strip);
        b->setObjectName(QStringLiteral("Tool_") + def.action);
        b->setIcon(QIcon(MainPictures::toolButton(def.tip, index++)));
        b->setIconSize(QSize(32, 32));
        b->setFixedSize(MainPictures::kToolSize, MainPictures::kToolSize);
        b->setAutoRaise(true);
        b->setToolTip(def.tip);
        b->setAccessibleName(def.tip);
        bindButton(b, m_actions.value(def.action));
        row->addWidget(b);
    }
    row->addStretch();
    strip->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    bar->addWidget(strip);
    addToolBar(Qt::TopToolBarArea, bar);
}

void TfrmMain::buildNavigation()
{
    for (const NavPageDef &page : navPages()) {
        auto *w = new QWidget(m_nav);
        auto *column = new QVBoxLayout(w);
        column->setContentsMargins(4, 4, 4, 4);
        column->setSpacing(4);
        for (const QString &id : page.actions) {
            QAction *a = m_actions.value(id);
            auto *b = new QToolButton(w);
            b->setObjectName(QStringLiteral("Nav_") + id);
            b->setIcon(QIcon(MainPictures::navigationButton(a->text())));
            b->setIconSize(QSize(MainPictures::kNavWidth, MainPictures::kNavHeight));
            b->setAutoRaise(true);
            b->setToolTip(a->text());
            b->setAccessibleName(a->text());
            bindButton(b, a);
            column->addWidget(b, 0, Qt::AlignHCenter);
        }
        column->addStretch();
        m_nav->addItem(w, page.caption);
    }
    // On a short (or magnified) screen a page scrolls up and down; its
    // buttons still fit beside the bar, so no second bar below them.
    for (QScrollArea *page : m_nav->findChildren<QScrollArea *>())
        page->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

void TfrmMain::buildStatusBar()
{
    // The five panels share the bar in the proportions of their nominal
    // widths, but never narrower than their longest text: together the
    // nominal widths are wider than the window itself.
    const QStringList longest = {QStringLiteral("欢迎使用Brevia！"), QStringLiteral("操作员：  WWWWWWWWWW"),
                                 QStringLiteral("当前系统时间：   ") + Format::dateTime(QDateTime(QDate(2026, 12, 28), QTime(23, 58, 58))),
                                 Maker::kWebsite, QStringLiteral("NUM")};
    statusBar()->setSizeGripEnabled(false); // the window has a fixed size
    for (int i = 0; i < 5; ++i) {
        m_panels[i] = new QLabel(this);
        m_panels[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        m_panels[i]->setAlignment(Qt::AlignCenter);
        m_panels[i]->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        const int frame = 2 * m_panels[i]->frameWidth() + 8;
        m_panels[i]->setMinimumWidth(m_panels[i]->fontMetrics().horizontalAdvance(longest[i]) + frame);
        statusBar()->addWidget(m_panels[i], kPanelWidths[i]);
    }
    m_panels[0]->setText(QStringLiteral("欢迎使用Brevia！"));
    m_panels[3]->setText(Maker::kWebsite);
}

void TfrmMain::createStandardFolders()
{
    const QString root = AppPaths::documentRoot();
    PrivateFiles::makeFolder(root);
    PrivateFiles::makeFolder(root + QStringLiteral("Plans"));
    PrivateFiles::makeFolder(AppPaths::path(QStringLiteral("Backup")));
    PrivateFiles::makeFolder(AppPaths::path(QStringLiteral("Log")));
}

void TfrmMain::setDataModule(TdmMain *dm)
{
    if (m_dm)
        disconnect(m_dm, nullptr, this, nullptr);
    m_dm = dm;
    if (m_dm && !m_plan) {
        // The schedule fills the work area's own pages.
        m_plan = new TfrmPlan(m_host->scheduleArea());
        auto *layout = new QVBoxLayout(m_host->scheduleArea());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_plan);
        // The list window and the editor window stand as panels beside it.
        m_planList = new TfrmPlan(TfrmPlan::Place::ListWindow, m_host);
        m_planNew = new TfrmPlanNew(m_host);
        m_planList->hide();
        m_planNew->hide();
        for (TfrmPlan *plan : {m_plan, m_planList, static_cast<TfrmPlan *>(m_planNew)}) {
            connect(plan, &ModulePanel::folderChosen, this, [this](const QString &path) {
                if (TfrmTools *tools = toolsPanel())
                    tools->setFolder(path);
            });
            // Unlike the other modules, the schedule leaves the navigation
            // as the clerk set it when a plan is opened.
            connect(plan, &ModulePanel::detailOpened, this,
                    [this] { m_nav->setCurrentIndex(int(NavPage::Business)); });
            connect(plan, &TfrmPlan::editorWanted, this, [this] {
                m_nav->setCurrentIndex(int(NavPage::Business));
                m_host->switchToModule(m_planNew);
                // After the command that asked has done its own focusing.
                QTimer::singleShot(0, m_planNew, [this] { m_planNew->focusField(QStringLiteral("PlanDate")); });
            });
        }
        connect(m_planNew, &TfrmPlan::listWanted, this, [this] {
            m_nav->setCurrentIndex(int(NavPage::Business));
            m_host->switchToModule(m_planList);
        });
    }
    // A server change or a restore brings another tblUserRight, and the
    // schedule in the work area must show the new database's rows.
    if (m_dm)
        connect(m_dm, &TdmMain::connected, this, [this] {
            reloadRights();
            Dataset *plan = m_dm->dataset(Sets::kPlans);
            if (plan && !plan->isActive() && Session::current().loggedIn() && !plan->open())
                Prompts::instance().warn(plan->lastError());
        });
}

Database *TfrmMain::database() const
{
    return m_dm ? m_dm->database() : nullptr;
}

QString TfrmMain::switchDatabase(std::unique_ptr<Database> db)
{
    const QString previous = database() ? database()->location() : QString();
    // The rows in hand belong to the database being left: stored there
    // first, or the change does not happen.
    if (database())
        if (const QString refused = m_dm->storePendingEdits(); !refused.isEmpty())
            return refused;
    const QString error = m_dm->connectTo(std::move(db));
    if (error.isEmpty() || previous.isEmpty())
        return error;
    QString again;
    if (auto old = DbSetup::openExisting(previous, &again))
        again = m_dm->connectTo(std::move(old));
    if (!database())
        return error + QStringLiteral("\n\n原来的数据库也无法重新打开：") + again
            + QStringLiteral("\n程序现在没有连接任何数据库，请重新进行服务器设置！");
    return error;
}

void TfrmMain::updateActions()
{
    const UserRights &rights = UserRights::current();
    for (const MainAction &def : mainActions())
        if (!def.right.isEmpty())
            m_actions.value(def.id)->setEnabled(rights.holds(def.right));
}

void TfrmMain::reloadRights()
{
    Database *db = database();
    const Session &s = Session::current();
    if (db && s.loggedIn()) {
        // A failed read leaves nothing enabled; the next reload tries again.
        UserRights::current().load(*db, s.userId());
    } else {
        UserRights::current().clear();
    }
    updateActions();
}

void TfrmMain::runAction(const MainAction &def, QAction *action)
{
    // Without any database (a server change that failed both ways) the
    // way out stays open: the server settings and the exit need no log.
    const bool wayOut = def.id == QLatin1String("Act_Server") || def.id == QLatin1String("Act_Exit");
    if (!def.log.isEmpty() && !(wayOut && !database())) {
        Database *db = database();
        if (!(db ? logCommand(*db, def.log) : logCommand(def.log))) {
            // A toggle that cannot log does not toggle.
            if (def.checkable)
                action->setChecked(!action->isChecked());
            return;
        }
    }
    if (def.page != NavPage::None)
        m_nav->setCurrentIndex(int(def.page));
    // The flag as the user table holds it now: an administrator may have
    // taken it away since this user logged in.
    if (def.sysOnly && !(database() && Session::current().isSysNow(*database()))) {
        Prompts::instance().warn(kSysOnlyRefusal);
        return;
    }
    if (def.run.module)
        openModule(def);
    else if (def.run.function)
        (this->*def.run.function)();
}

void TfrmMain::setNavigationVisible(bool visible)
{
    // Hiding a splitter's child hides its handle with it.
    m_nav->setVisible(visible);
    m_actions.value(QStringLiteral("Act_Navigation"))->setChecked(visible);
    for (ModulePanel *panel : std::as_const(m_modules))
        if (panel)
            panel->navigationShown(visible);
}

void TfrmMain::setToolsPanel(QWidget *panel)
{
    m_toolsPanel = panel;
    if (m_toolsPanel)
        m_toolsPanel->setVisible(m_toolsVisible);
    // Records stored in modal dialogs move the panel to their folder too.
    QPointer<TfrmMain> self(this);
    setFolderFollower([self](const QString &path) {
        if (self)
            if (TfrmTools *tools = self->toolsPanel())
                tools->setFolder(path);
    });
}

void TfrmMain::setToolsPanelVisible(bool visible)
{
    m_toolsVisible = visible;
    if (m_toolsPanel)
        m_toolsPanel->setVisible(visible);
}

void TfrmMain::refreshStatusBar()
{
    m_panels[1]->setText(QStringLiteral("操作员：  ") + Session::current().userId());
    m_panels[2]->setText(QStringLiteral("当前系统时间：   ") + Format::dateTime(Clock::instance().now()));
    refreshNumLock();
}

void TfrmMain::refreshNumLock()
{
    m_panels[4]->setText(NumLock::isOn() ? QStringLiteral("NUM") : QString());
}

bool TfrmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        if (static_cast<QKeyEvent *>(event)->key() == Qt::Key_NumLock) {
            refreshNumLock();
            // The light may change only after the key event has been handled.
            QTimer::singleShot(50, this, &TfrmMain::refreshNumLock);
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

bool TfrmMain::FormShow()
{
    // The database this workstation is configured for, not the default
    // file: a workstation on a shared file has no local Data/HKP30.hdb. A
    // PostgreSQL server has no file; its connection has already succeeded.
    const Database *db = database();
    if (!db)
        return true;
    if (db->isPostgres() || QFileInfo::exists(db->location())) {
        openSharedSets();
        return true;
    }
    Prompts::instance().warn(QStringLiteral("对不起，数据文件没有找到！请查找HKP30.hdb文件，\n并将文件复制到")
                             + AppPaths::applicationDirectory() + QStringLiteral("Data目录下！"));
    endProgram();
    return false;
}

void TfrmMain::openSharedSets()
{
    // Their first reads go together: one round trip over a network.
    QString error;
    if (!m_dm->openTogether({Sets::kUserRights, Sets::kColors, Sets::kCustomerTypes, Sets::kCountries,
                             Sets::kDistricts, Sets::kCustomerLevels, Sets::kCustomerStates, Sets::kCustomerOrigins,
                             Sets::kCurrencies, Sets::kTrades, Sets::kCustomerList, Sets::kCustomerContracts,
                             Sets::kStaff, Sets::kWorkers},
                            &error)) {
        Prompts::instance().warn(error);
        return;
    }
    // Customer names looked up in contacts, contracts and the schedule come
    // from this set, so an ordinary user sees only the names of their own.
    if (Dataset *names = m_dm->dataset(Sets::kCustomerNames)) {
        names->close();
        names->setFilter(ownRecordsCondition(m_dm->database()));
        if (!names->open()) {
            Prompts::instance().warn(names->lastError());
            return;
        }
    }
    // The whole schedule; a filter the daily agenda left on it stays.
    Dataset *plan = m_dm->dataset(Sets::kPlans);
    Dataset *customers = m_dm->dataset(Sets::kCustomerList);
    if (!plan)
        return;
    m_dm->restoreStatement(Sets::kPlans);
    if (!plan->open()) {
        Prompts::instance().warn(plan->lastError());
        return;
    }
    if (customers && !plan->isEmpty())
        customers->locate(QStringLiteral("CustID"), plan->value(0, QStringLiteral("CustID")));
}

void TfrmMain::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    refreshStatusBar(); // the user is known by now
    if (m_shown)
        return;
    m_shown = true;
    reloadRights(); // the login has just succeeded
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
    m_actions.value(QStringLiteral("Act_Exit"))->trigger();
}

void TfrmMain::closeEvent(QCloseEvent *event)
{
    if (m_ending || Prompts::instance().askYesNo(kExitQuestion, true, kExitCaption)) {
        // What is being typed goes in as moving away would store it; a
        // refusal keeps the program open at that row, with the reason.
        if (!m_ending && m_dm && m_dm->database()) {
            const QString refused = m_dm->storePendingEdits();
            if (!refused.isEmpty()) {
                Prompts::instance().warn(refused);
                event->ignore();
                return;
            }
        }
        m_clock->stop();
        keepUsersPlace();
        event->accept();
    } else {
        event->ignore();
    }
}
