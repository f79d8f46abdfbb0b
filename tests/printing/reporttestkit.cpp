#include "reporttestkit.h"

#include "printing/reportrenderer.h"
#include "printing/reporttemplate.h"

#include <gtest/gtest.h>

#include <QFont>
#include <QProcess>
#include <QRawFont>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {
QString run(const QString &program, const QStringList &args, QString *error)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0) {
        *error = program + QStringLiteral(" failed: ") + QString::fromUtf8(p.readAllStandardError());
        return {};
    }
    return QString::fromUtf8(p.readAllStandardOutput());
}
// The PDF's text map names each glyph by the first code point that the
// font maps to it: 人 reads back as the radical U+2F08, 户 as 戶, 页 as
// U+2EDA. Text is compared after the same folding on both sides.
QChar folded(QChar c)
{
    if (c.unicode() < 0x2E80) // Latin, digits and punctuation read back as written
        return c;
    static const QVector<char16_t> first = [] {
        QVector<char16_t> byGlyph(0x10000, 0), out(0x10000, 0);
        const QRawFont font = QRawFont::fromFont(QFont(QStringLiteral("Noto Sans CJK SC")));
        QVector<quint32> glyphs(0x10000);
        QString all(0x10000, QChar(0));
        for (int uc = 0; uc < 0x10000; ++uc)
            all[uc] = QChar(uc >= 0xD800 && uc < 0xE000 ? 0 : uc);
        int n = glyphs.size();
        font.glyphIndexesForChars(all.constData(), all.size(), glyphs.data(), &n);
        for (int uc = 0; uc < 0x10000; ++uc) {
            const quint32 g = glyphs[uc];
            if (g && g < 0x10000 && uc >= 0x2E80 && !byGlyph[g])
                byGlyph[g] = char16_t(uc);
            out[uc] = g && g < 0x10000 ? byGlyph[g] : char16_t(uc);
        }
        return out;
    }();
    return QChar(first[c.unicode()]);
}
} // namespace

QString fold(QString text)
{
    for (QChar &c : text)
        c = folded(c);
    return text;
}

PdfText pdfText(const PreparedReport &r)
{
    PdfText out;
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
    if (!ReportRenderer::writePdf(r, pdf, &out.error))
        return out;
    return pdfFileText(pdf);
}

PdfText pdfFileText(const QString &pdf)
{
    PdfText out;
    const QString info = run(QStringLiteral("pdfinfo"), {pdf}, &out.error);
    const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    out.pageCount = m.hasMatch() ? m.captured(1).toInt() : -1;
    const QString text = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}, &out.error);
    out.pages = fold(text).split(QLatin1Char('\f'));
    if (!out.pages.isEmpty() && out.pages.last().trimmed().isEmpty())
        out.pages.removeLast();
    return out;
}

PreparedReport prepareXml(const QByteArray &xml, Dataset *data, const DatasetResolver &resolver)
{
    ReportTemplate t;
    QString error;
    EXPECT_TRUE(t.loadXml(xml, &error)) << error.toStdString();
    ReportLayout layout(t, data, resolver);
    layout.setPrintTime(QDateTime(QDate(2026, 3, 5), QTime(9, 30)));
    return layout.prepare();
}

bool inOrder(const QString &spaced, const QStringList &parts)
{
    // pdftotext spaces text by its position, not as it was written.
    const QString text = QString(spaced).remove(QLatin1Char(' '));
    qsizetype at = 0;
    for (QString p : parts) {
        p = fold(p).remove(QLatin1Char(' '));
        at = text.indexOf(p, at);
        if (at < 0)
            return false;
        at += p.size();
    }
    return true;
}

bool onOneLine(const QString &text, const QStringList &parts)
{
    QStringList escaped;
    for (const QString &p : parts)
        escaped << QRegularExpression::escape(fold(p));
    return QRegularExpression(escaped.join(QStringLiteral("[^\\n]*"))).match(text).hasMatch();
}

int occurrences(const QString &text, const QString &part)
{
    return int(QString(text).remove(QLatin1Char(' ')).count(fold(part).remove(QLatin1Char(' '))));
}
