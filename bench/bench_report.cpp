// The customer list report with a large agency: how long the print command
// takes to the first page in the preview and to the whole PDF, against a
// plain reference that paints the same rows as bare text with QPainter into
// a QPdfWriter. The engine places bands, lines and cells, repeats headers,
// counts pages and formats values; the ratios show what that costs over
// merely putting the text on paper. The first page should come in well
// under a second, the whole PDF in a few.
//
//   bench_report [CUSTOMERS] [FILE]
// CUSTOMERS defaults to 10,000. FILE is generated when missing (seed 1) and
// kept; without FILE a temporary one is used.
#include "admin-cli/generator.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "printing/printreport.h"
#include "printing/reportrenderer.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRounds = 3;
constexpr double kPreviewDpi = 96; // the preview at 100 %

// The columns of frCustomers, in its order.
const char *const kColumns[] = {"CustId", "CustName", "LevelName", "Telephone", "MainLinkman", "Address"};

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double ms(const QElapsedTimer &t) { return double(t.nsecsElapsed()) / 1e6; }

// The report's own path: prepare every page (the page count is printed on
// page 1), then the first page as the preview draws it.
double firstPreviewPage(Dataset *customers, int *pages)
{
    QElapsedTimer t;
    t.start();
    PreparedReport r;
    QString error;
    if (!prepareReport(customers, QStringLiteral("frCustomers"), &r, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return -1;
    }
    const QImage first = ReportRenderer::pageImage(r, 0, kPreviewDpi);
    *pages = int(r.pages.size());
    return first.isNull() ? -1 : ms(t);
}

double wholePdf(Dataset *customers, const QString &path)
{
    QElapsedTimer t;
    t.start();
    PreparedReport r;
    QString error;
    if (!prepareReport(customers, QStringLiteral("frCustomers"), &r, &error) ||
        !ReportRenderer::writePdf(r, path, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return -1;
    }
    return ms(t);
}

// The same rows as bare text, one line per row, into the same kind of PDF.
double plainPdf(Dataset *customers, const QString &path)
{
    QElapsedTimer t;
    t.start();
    QPdfWriter pdf(path);
    pdf.setResolution(300);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    QPainter p(&pdf);
    QFont font(QStringLiteral("Noto Sans CJK SC"));
    font.setPointSizeF(9);
    p.setFont(font);
    const double pxPerMm = 300 / 25.4;
    const int perPage = 38; // as many rows as the report fits on a page
    const double widths[] = {24, 44, 16, 28, 20, 48};
    for (int row = 0; row < customers->rowCount(); ++row) {
        if (row > 0 && row % perPage == 0)
            pdf.newPage();
        double x = 15;
        const double y = 40 + (row % perPage) * 7;
        for (int c = 0; c < 6; ++c) {
            p.drawText(QRectF(x * pxPerMm, y * pxPerMm, widths[c] * pxPerMm, 7 * pxPerMm), Qt::AlignVCenter,
                       customers->value(row, kColumns[c]).toString());
            x += widths[c];
        }
    }
    p.end();
    return ms(t);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
        qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 10000;
    QTemporaryDir dir;
    const QString file = argc > 2 ? QFileInfo(QString::fromLocal8Bit(argv[2])).absoluteFilePath()
                                  : dir.filePath(QStringLiteral("bench.hdb"));
    if (!QFileInfo::exists(file)) {
        Generator::Options o;
        o.customers = count;
        const QString err = Generator::generate(file, o);
        if (!err.isEmpty()) {
            std::fprintf(stderr, "生成失败: %s\n", qPrintable(err));
            return 1;
        }
    }
    QString err;
    auto db = Database::open(file, &err);
    TdmMain dm;
    if (db)
        err = dm.connectTo(std::move(db));
    Dataset *customers = dm.dataset(QStringLiteral("tblCustomers"));
    if (err.isEmpty() && (!customers->open() || !customers->loadAllRows() || !dm.dataset("tblUserInfo")->open()))
        err = customers->lastError();
    if (!err.isEmpty()) {
        std::fprintf(stderr, "连接失败: %s\n", qPrintable(err));
        return 1;
    }
    // The print command hands over the list as the window holds it: every
    // row read, the display names looked up once.
    for (int r = 0; r < customers->rowCount(); ++r)
        for (const char *c : kColumns)
            customers->value(r, c);

    std::vector<double> first, whole, plain;
    int pages = 0;
    const QString reportPdf = dir.filePath(QStringLiteral("report.pdf"));
    const QString plainFile = dir.filePath(QStringLiteral("plain.pdf"));
    for (int i = 0; i < kRounds; ++i) {
        first.push_back(firstPreviewPage(customers, &pages));
        whole.push_back(wholePdf(customers, reportPdf));
        plain.push_back(plainPdf(customers, plainFile));
    }
    const double f = median(first), w = median(whole), p = median(plain);
    if (f < 0 || w < 0 || p <= 0)
        return 1;
    std::printf("客户资料列表 %d 行, %d 页 (中位数, %d 轮)\n", customers->rowCount(), pages, kRounds);
    std::printf("  预览第一页:   %8.0f ms  (参照的 %.2f 倍)\n", f, f / p);
    std::printf("  完整PDF:      %8.0f ms  (参照的 %.2f 倍, %lld KB)\n", w, w / p,
                QFileInfo(reportPdf).size() / 1024);
    std::printf("  参照(纯文本): %8.0f ms  (%lld KB)\n", p, QFileInfo(plainFile).size() / 1024);
    return 0;
}
