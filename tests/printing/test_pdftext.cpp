// Exported PDFs give back their text exactly as it was printed, so a clerk
// can copy from them and search them; the report font keeps the look of
// Noto Sans CJK SC.
#include "reporttestkit.h"

#include "printing/reportfonts.h"
#include "printing/reportrenderer.h"
#include "printing/reporttemplate.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QFontInfo>
#include <QPainterPath>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

// pdftotext's reading of a report's text, one line per printed line.
QStringList pdfLines(const PreparedReport &r)
{
    QTemporaryDir dir;
    const QString pdf = dir.filePath("report.pdf");
    QString error;
    EXPECT_TRUE(ReportRenderer::writePdf(r, pdf, &error)) << error.toStdString();
    QProcess p;
    p.start("pdftotext", {"-raw", "-enc", "UTF-8", pdf, "-"});
    EXPECT_TRUE(p.waitForFinished(60000));
    QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n');
    for (QString &l : lines)
        l = l.remove('\f').trimmed();
    lines.removeAll(QString());
    return lines;
}

QByteArray oneLine(const QString &text, bool bold)
{
    return QString(R"(<report version="1"><band type="title" height="20">)"
                   R"(<text w="260" h="10" size="12" bold="%1">%2</text></band></report>)")
        .arg(bold ? "true" : "false", text.toHtmlEscaped())
        .toUtf8();
}

} // namespace

TEST(PdfText, ReadsBackAsPrinted)
{
    struct Case {
        const char *what;
        QString text;
        bool bold;
    };
    const Case cases[] = {
        {"ideographs that share their glyph with a radical", "人户页", false},
        {"the same in bold", "客户人数 第1页", true},
        {"a customer line", "王府花园物业 朝阳区安立路8号 刘芳", false},
        {"more ideographs with radical twins", "入力工女子小山川心手文方日月木水火父用田白目示米耳肉言走金门雨食马鸟鱼", false},
        {"Chinese punctuation", "备　　注：1～5号、〈家政〉／（白班）", false},
        {"Latin, digits and money", "KH001 Tel 010-88886666 ¥1,234.50", false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList lines = pdfLines(prepareXml(oneLine(c.text, c.bold), nullptr));
        ASSERT_EQ(lines.size(), 1) << lines.join(" | ").toStdString();
        // pdftotext writes a gap, an ideographic space among them, as one space.
        const QString expected = QString(c.text).replace(QRegularExpression("[ \u3000]+"), " ");
        EXPECT_EQ(lines[0], expected);
    }
}

TEST(PdfText, TheReportFontStandsInForNotoSansCjkSc)
{
    EXPECT_EQ(ReportFonts::reportFamily(), "Brevia Sans SC");
    struct Case {
        QString templateFamily;
        QString printed;
    };
    const Case cases[] = {
        {"Noto Sans CJK SC", "Brevia Sans SC"},
        {"noto sans cjk sc", "Brevia Sans SC"},
        {"Noto Serif CJK SC", "Noto Serif CJK SC"}, // an agency's own choice stays
    };
    for (const Case &c : cases) {
        ReportFont f;
        f.family = c.templateFamily;
        EXPECT_EQ(ReportRenderer::font(f).family(), c.printed);
    }
    // Same outlines and metrics, so pages are laid out as before.
    for (bool bold : {false, true}) {
        QFont noto("Noto Sans CJK SC"), derived("Brevia Sans SC");
        for (QFont *f : {&noto, &derived}) {
            f->setPixelSize(40);
            f->setBold(bold);
        }
        ASSERT_EQ(QFontInfo(derived).family(), "Brevia Sans SC");
        const QRawFont a = QRawFont::fromFont(noto), b = QRawFont::fromFont(derived);
        const QString text = "客户资料列表 KH001";
        const QList<quint32> ga = a.glyphIndexesForString(text), gb = b.glyphIndexesForString(text);
        EXPECT_EQ(ga, gb);
        EXPECT_EQ(a.advancesForGlyphIndexes(ga), b.advancesForGlyphIndexes(gb));
        EXPECT_EQ(a.pathForGlyph(ga[0]), b.pathForGlyph(gb[0]));
    }
}
