#include "app/application.h"

#include "data/database.h"
#include "data/dbsetup.h"
#include "data/serverfile.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QMainWindow>
#include <QTranslator>

int runBrevia(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brevia"));
    QLocale::setDefault(QLocale(QLocale::Chinese, QLocale::China));
    auto *qtTr = new QTranslator(&app);
    if (qtTr->load(QStringLiteral("qtbase_zh_CN"), QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qtTr);
    QFont font(QStringLiteral("Noto Sans CJK SC"), 10);
    QApplication::setFont(font);

    // A database that cannot be opened sends the next start to the default.
    QString error;
    const QString line = ServerFile::read(&error);
    auto db = error.isEmpty() ? DbSetup::openExisting(DbSetup::resolveLocation(line), &error) : nullptr;
    if (!db) {
        ServerFile::resetToDefault();
        return 1;
    }

    QMainWindow main;
    main.setWindowTitle(QStringLiteral("Brevia2003（网络版）"));
    main.resize(1024, 700);
    main.show();
    return app.exec();
}
