#include "app/application.h"

#include "app/tfrmlogin.h"
#include "app/tfrmmain.h"
#include "app/tfrmsplash.h"
#include "contacts/tfrmlinkmannew1.h"
#include "contracts/tfrmoperatenew1.h"
#include "contracts/tfrmoperatenewchild.h"
#include "workers/tfrmshusongyj.h"
#include "workers/tfrmyuangongnew1.h"
#include "data/apppaths.h"
#include "data/database.h"
#include "data/databasebackup.h"
#include "data/dmmain.h"
#include "data/readonly.h"
#include "data/startupconnection.h"
#include "printing/printreport.h"
#include "rules/businessrules.h"
#include "schedule/tfrmtoday.h"
#include "ui/commandshortcuts.h"
#include "ui/moduleframe.h"
#include "ui/prompts.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <memory>

namespace {

void installChinese(QApplication &app)
{
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    // Qt's own buttons and dialogs (是/否, 确定, the file dialog) in Chinese.
    auto *qtTr = new QTranslator(&app);
    // The program ships its copy; Qt's own folder serves a build without it.
    if (qtTr->load(QStringLiteral("qtbase_zh_CN"), AppPaths::shippedPath(QStringLiteral("translations")))
        || qtTr->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTr);
    // Named explicitly: without a CJK font Qt draws boxes and says nothing.
    QApplication::setFont(QFont(QStringLiteral("Noto Sans CJK SC"), 10));
}

} // namespace

int runBrevia(int argc, char **argv)
{
    QApplication app(argc, argv);
    // Desktops match the window to its menu entry and icon by this name.
    QApplication::setDesktopFileName(QStringLiteral("org.brevia.Brevia"));
    QApplication::setApplicationName(QStringLiteral("Brevia"));
    installChinese(app);
    // Module windows print through the one print call.
    ModuleFrame::setPrinter(&printReport);
    // The customer window's contacts page edits through the contact dialog,
    // whether or not the contact module has been opened.
    TfrmLinkmanNew1::install();
    TfrmOperateNew1::install();
    TfrmOperateNewChild::install();
    TfrmYuangongNew1::install();
    TfrmShusongYJ::install();
    // "新增" Ctrl+A, "关闭" Ctrl+X and the like work while a field has the focus.
    installCommandShortcuts(&app);

    auto splash = std::make_unique<TfrmSplash>();
    splash->showForOneSecond();

    // The main window first: it settles the application directory and the
    // folders that the connection and everything after it rely on.
    TfrmMain main;
    // What a restore killed half way left behind.
    DatabaseBackup::removeStaleWork();

    // The data module takes the connection and opens its shared sets; the
    // tables' rules hold on it from the start.
    installBusinessRulesOnNewModules();
    TdmMain dm;
    QString message = StartupConnection::makeDefaultDatabaseOnFirstStart();
    std::unique_ptr<Database> db = message.isEmpty() ? StartupConnection::open(&message) : nullptr;
    if (db) {
        const QString location = db->location();
        const QString error = dm.connectTo(std::move(db));
        if (!error.isEmpty())
            message = StartupConnection::giveUp(location, error);
    }
    splash.reset();
    if (!dm.database()) {
        Prompts::instance().warn(message);
        return 1;
    }
    main.setDataModule(&dm);
    // Said once: every store will be refused, but reading and leaving work.
    if (ReadOnly::isReadOnly(*dm.database()))
        Prompts::instance().inform(ReadOnly::startupText(dm.database()->location()));

    {
        TfrmLogin login(*main.database());
        if (login.exec() != QDialog::Accepted)
            return login.lockedOut() ? 1 : 0;
    }

    {
        // What falls due today, before the main window.
        TfrmToday today;
        today.exec();
    }
    main.showAtUsersPlace();
    main.createToolsPanel();
    return app.exec();
}
