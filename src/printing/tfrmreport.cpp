#include "printing/tfrmreport.h"

#include "data/apppaths.h"
#include "printing/reportpageview.h"
#include "printing/reportrenderer.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QUrl>
#include <QVBoxLayout>

TfrmReport::TfrmReport(PreparedReport report, QWidget *parent) : QDialog(parent), m_report(std::move(report))
{
    setWindowTitle(QStringLiteral("报表预览"));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    auto *bar = new QHBoxLayout;
    bar->addWidget(new QLabel(QStringLiteral("显示比例："), this));
    m_zoom = new QComboBox(this);
    m_zoom->setObjectName(QStringLiteral("CbZoom"));
    m_zoom->addItems({QStringLiteral("100%"), QStringLiteral("75%"), QStringLiteral("50%"), QStringLiteral("150%"),
                      QStringLiteral("200%")});
    m_zoom->setCurrentIndex(0);
    bar->addWidget(m_zoom);
    auto button = [&](const QString &text, const char *name, void (TfrmReport::*slot)()) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        bar->addWidget(b);
        return b;
    };
    button(QStringLiteral("打印"), "BtnPrint", &TfrmReport::BtnPrintClick);
    button(QStringLiteral("导出PDF"), "BtnPdf", &TfrmReport::BtnPdfClick);
    button(QStringLiteral("帮助"), "BtnHelp", &TfrmReport::BtnHelpClick);
    button(QStringLiteral("关闭"), "BtnClose", &TfrmReport::reject);
    bar->addSpacing(16);
    bar->addWidget(new QLabel(QStringLiteral("共 %1 页").arg(m_report.pages.size()), this));
    bar->addStretch();

    m_scroll = new QScrollArea(this);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scroll->setAlignment(Qt::AlignHCenter);
    m_view = new ReportPageView(m_report, m_scroll);
    m_scroll->setWidget(m_view);
    m_scroll->setWidgetResizable(false);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(bar);
    layout->addWidget(m_scroll, 1);

    connect(m_zoom, &QComboBox::currentIndexChanged, this, &TfrmReport::CbZoomChange);
    setWindowState(windowState() | Qt::WindowMaximized);
}

void TfrmReport::CbZoomChange()
{
    QString t = m_zoom->currentText();
    t.chop(1); // the % sign
    m_view->setZoom(t.toInt());
}

void TfrmReport::BtnPrintClick()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_report.pageLayout());
    printer.setDocName(m_report.title);
    QPrintDialog dialog(&printer, this);
    dialog.setOptions(QAbstractPrintDialog::PrintPageRange | QAbstractPrintDialog::PrintToFile
                      | QAbstractPrintDialog::PrintCollateCopies | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setMinMax(1, int(m_report.pages.size()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!ReportRenderer::print(m_report, &printer))
        Prompts::instance().warn(QStringLiteral("对不起，打印失败！"));
}

void TfrmReport::BtnPdfClick()
{
    const QString name = (m_report.title.isEmpty() ? QStringLiteral("报表") : m_report.title) + QStringLiteral(".pdf");
    QString path = Prompts::instance().saveFileName(QStringLiteral("导出PDF"), name, QStringLiteral("PDF 文件 (*.pdf)"));
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    QString error;
    if (ReportRenderer::writePdf(m_report, path, &error))
        Prompts::instance().inform(QStringLiteral("导出PDF成功！"));
    else
        Prompts::instance().warn(error);
}

void TfrmReport::BtnHelpClick()
{
    // The preview's own help file where an installation ships one, else the
    // HTML manual that the main window's help opens as well.
    const QString chm = AppPaths::path(QStringLiteral("HKPHelp.chm"));
    const QString html = AppPaths::findData(QStringLiteral("Help/BreviaHelp.html"));
    const QString help = QFileInfo::exists(chm) ? chm : html;
    if (!QFileInfo::exists(help)) {
        Prompts::instance().warn(QStringLiteral("对不起，帮助文件不存在：") + QDir::toNativeSeparators(chm));
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(help));
}
