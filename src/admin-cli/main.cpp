// brevia-admin: database chores from a shell or cron.
#include "admin-cli/backupcommand.h"
#include "admin-cli/generator.h"
#include "admin-cli/reportcommand.h"
#include "data/apppaths.h"
#include "data/database.h"
#include "data/dbsetup.h"
#include "data/schema.h"
#include "data/startupconnection.h"
#include "legacy/importer.h"
#include "rules/businessrules.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

#include <unistd.h>

namespace {

QTextStream &out()
{
    static QTextStream s(stdout);
    return s;
}
QTextStream &err()
{
    static QTextStream s(stderr);
    return s;
}

int usage()
{
    err() << "用法:\n"
             "  brevia-admin init [路径|postgresql://...]     新建数据库（默认 Data/HKP30.hdb）\n"
             "  brevia-admin migrate [路径|postgresql://...]  升级数据库结构\n"
             "  brevia-admin import 旧数据库.hdb 路径|postgresql://...  新建数据库并导入旧系统的数据\n"
             "  brevia-admin generate 路径|postgresql://... --customers N [--seed S]\n"
             "                                               新建数据库并填入模拟的家政公司数据\n"
             "  brevia-admin report 模板名 --pdf 输出.pdf [--db 路径|postgresql://...]\n"
             "                                               按模板把全部数据打印成PDF（默认 Server.txt 的数据库）\n"
             "  brevia-admin backup [备份文件] [--db 路径|postgresql://...]\n"
             "                                               备份数据库（默认 Backup/HKP30.hdb，Server.txt 的数据库）\n"
             "  brevia-admin restore 备份文件 [--db 路径|postgresql://...]\n"
             "                                               用备份文件恢复数据库，恢复前的数据先存入当天的备份文件夹\n";
    err().flush();
    return 2;
}

// Paths typed in a shell are relative to the shell's folder.
QString locationArg(const QStringList &args, int i)
{
    if (i >= args.size())
        return AppPaths::defaultDatabasePath();
    const QString a = args[i];
    if (Database::isPostgresUri(a))
        return a;
    return QDir::cleanPath(QDir::current().absoluteFilePath(a));
}

int init(const QStringList &args)
{
    const QString location = locationArg(args, 2);
    QString error;
    auto db = DbSetup::create(location, &error);
    if (!db) {
        err() << "新建数据库失败: " << error << "\n";
        return 1;
    }
    out() << "已新建数据库: " << StartupConnection::shownLocation(location) << " (结构版本 " << Schema::kVersion << ")\n";
    return 0;
}

int migrate(const QStringList &args)
{
    const QString location = locationArg(args, 2);
    QString error;
    auto db = DbSetup::openExisting(location, &error);
    if (!db) {
        err() << "升级失败: " << error << "\n";
        return 1;
    }
    out() << "数据库结构版本: " << Schema::storedVersion(*db) << "\n";
    return 0;
}

// One line redrawn in place on a terminal; a line per finished table when
// stderr goes to a file.
void showProgress(const QString &table, qint64 done, qint64 total)
{
    static const bool terminal = isatty(STDERR_FILENO) != 0;
    const bool finished = done >= total;
    if (!terminal) {
        if (finished)
            err() << table << ": " << done << " 行\n";
        err().flush();
        return;
    }
    constexpr int width = 30;
    const int filled = total > 0 ? static_cast<int>(width * std::min(done, total) / total) : width;
    err() << "\r" << QStringLiteral("%1 [").arg(table, -20) << QString(filled, QLatin1Char('#'))
          << QString(width - filled, QLatin1Char('.')) << "] " << done << "/" << total << "\x1b[K";
    if (finished)
        err() << "\n";
    err().flush();
}

int import(const QStringList &args)
{
    if (args.size() != 4)
        return usage();
    const QString old = QDir::cleanPath(QDir::current().absoluteFilePath(args[2]));
    const QString location = locationArg(args, 3);
    ImportReport report;
    const QString error = LegacyImport::importFile(old, location, &report, showProgress);
    out() << report.text();
    out().flush();
    if (!error.isEmpty()) {
        err() << "导入失败: " << error << "\n";
        return 1;
    }
    out() << "已导入到: " << StartupConnection::shownLocation(location) << "\n";
    // Finished, but some tables, values or rows did not arrive as they were.
    return report.isComplete() ? 0 : 3;
}

int generate(const QStringList &args)
{
    if (args.size() < 3 || args[2].startsWith(QLatin1String("--")))
        return usage();
    Generator::Options options;
    bool haveCustomers = false;
    for (int i = 3; i < args.size(); ++i) {
        bool ok = false;
        if (args[i] == QLatin1String("--customers") && i + 1 < args.size()) {
            options.customers = args[++i].toInt(&ok);
            ok = ok && options.customers >= 0;
            haveCustomers = ok;
        } else if (args[i] == QLatin1String("--seed") && i + 1 < args.size()) {
            options.seed = args[++i].toULongLong(&ok);
        }
        if (!ok)
            return usage();
    }
    if (!haveCustomers)
        return usage();
    const QString location = locationArg(args, 2);
    Generator::Counts counts;
    const QString error = Generator::generate(location, options, &counts, showProgress);
    if (!error.isEmpty()) {
        err() << "生成失败: " << error << "\n";
        return 1;
    }
    out() << "已生成: " << StartupConnection::shownLocation(location) << " (客户 " << options.customers << " 个, 种子 " << options.seed << ")\n";
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    // A data module made here holds the tables' rules as the program's does.
    installBusinessRulesOnNewModules();
    if (argc >= 2 && qstrcmp(argv[1], "report") == 0)
        return reportCommand(argc, argv);
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 2)
        return usage();
    const QString cmd = args[1];
    int rc;
    if (cmd == QLatin1String("init"))
        rc = init(args);
    else if (cmd == QLatin1String("migrate"))
        rc = migrate(args);
    else if (cmd == QLatin1String("import"))
        rc = import(args);
    else if (cmd == QLatin1String("generate"))
        rc = generate(args);
    else if (cmd == QLatin1String("backup"))
        rc = backupCommand(args);
    else if (cmd == QLatin1String("restore"))
        rc = restoreCommand(args);
    else
        rc = usage();
    out().flush();
    err().flush();
    return rc;
}
