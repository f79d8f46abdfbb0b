#include "admin-cli/reportcommand.h"

#include "data/database.h"
#include "data/dbsetup.h"
#include "data/dmmain.h"
#include "data/serverfile.h"
#include "printing/printreport.h"
#include "printing/reportrenderer.h"
#include "printing/reportsources.h"

#include <QDir>
#include <QGuiApplication>
#include <QTextStream>

namespace {

int fail(const QString &text)
{
    QTextStream(stderr) << text << "\n";
    return 1;
}

int usage()
{
    QTextStream(stderr) << "用法: brevia-admin report 模板名 --pdf 输出.pdf [--db 路径|postgresql://...]\n";
    return 2;
}

} // namespace

int reportCommand(int argc, char **argv)
{
    // A nightly job has no display; fonts and painting work the same
    // without one.
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3 || args[2].startsWith(QLatin1String("--")))
        return usage();
    const QString name = args[2];
    QString pdf, location;
    for (int i = 3; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--pdf") && i + 1 < args.size())
            pdf = QDir::current().absoluteFilePath(args[++i]);
        else if (args[i] == QLatin1String("--db") && i + 1 < args.size())
            location = args[++i];
        else
            return usage();
    }
    if (pdf.isEmpty())
        return usage();
    if (location.isEmpty()) {
        QString error;
        location = DbSetup::resolveLocation(ServerFile::read(&error));
        if (!error.isEmpty())
            return fail(QStringLiteral("无法读取Server.txt: ") + error);
    } else if (!Database::isPostgresUri(location)) {
        location = QDir::cleanPath(QDir::current().absoluteFilePath(location));
    }
    if (!ReportSources::find(name))
        return fail(QStringLiteral("未知的报表模板：%1").arg(name));

    QString error;
    auto db = DbSetup::openExisting(location, &error);
    if (!db)
        return fail(QStringLiteral("无法打开数据库: ") + error);
    TdmMain dm;
    error = dm.connectTo(std::move(db));
    if (!error.isEmpty())
        return fail(QStringLiteral("无法打开数据库: ") + error);
    Dataset *data = ReportSources::openInFull(dm, name, &error);
    if (!data)
        return fail(QStringLiteral("无法读取数据: ") + error);

    PreparedReport report;
    if (!prepareReport(data, name, &report, &error))
        return fail(QStringLiteral("对不起，报表模板文件不存在或无法读取：") +
                    QDir::toNativeSeparators(reportTemplatePath(name)) + QLatin1Char('\n') + error);
    for (const QString &w : std::as_const(report.warnings))
        QTextStream(stderr) << "模板中的字段不存在: " << w << "\n";
    if (!ReportRenderer::writePdf(report, pdf, &error))
        return fail(error);
    QTextStream(stdout) << "已生成报表: " << pdf << " (" << report.pages.size() << " 页)\n";
    return 0;
}
