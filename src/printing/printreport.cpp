#include "printing/printreport.h"

#include "data/apppaths.h"
#include "data/dmmain.h"
#include "printing/reporttemplate.h"
#include "printing/tfrmreport.h"
#include "ui/prompts.h"

#include <QDir>
#include <QFileInfo>

QString reportTemplatePath(const QString &templateName)
{
    QString file = templateName;
    if (!file.endsWith(QLatin1String(".frf"), Qt::CaseInsensitive))
        file += QStringLiteral(".frf");
    // An agency's own edited template wins over the shipped one.
    return AppPaths::findData(QStringLiteral("Data/Report/") + file);
}

DatasetResolver dataModuleResolver()
{
    return [](const QString &name) -> Dataset * {
        TdmMain *dm = TdmMain::instance();
        return dm ? dm->dataset(name) : nullptr;
    };
}

bool prepareReport(Dataset *data, const QString &templateName, PreparedReport *out, QString *error,
                   const DatasetResolver &resolver)
{
    const QString path = reportTemplatePath(templateName);
    ReportTemplate t;
    QString why;
    if (!t.load(path, &why)) {
        *error = QStringLiteral("对不起，报表模板文件不存在或无法读取：") + QDir::toNativeSeparators(path);
        // An agency that edits its own template needs to know where it went wrong.
        if (QFileInfo(path).isReadable() && QFileInfo(path).isFile())
            *error += QLatin1Char('\n') + why;
        return false;
    }
    ReportLayout layout(t, data, resolver ? resolver : dataModuleResolver());
    *out = layout.prepare();
    if (!layout.tooLarge().isEmpty()) {
        *error = QStringLiteral("对不起，报表过大，无法生成：") + QDir::toNativeSeparators(path) + QLatin1Char('\n')
            + layout.tooLarge();
        *out = PreparedReport();
        return false;
    }
    return true;
}

bool printReport(Dataset *data, const QString &templateName, QWidget *parent)
{
    PreparedReport report;
    QString error;
    if (!prepareReport(data, templateName, &report, &error)) {
        Prompts::instance().warn(error);
        return false;
    }
    // The form opens maximised by its own window state; showing it before
    // exec() would leave it modeless.
    TfrmReport form(std::move(report), parent);
    form.exec();
    return true;
}
