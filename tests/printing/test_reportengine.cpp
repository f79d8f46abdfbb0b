// The report engine: templates, formats, bands, groups, pages and labels,
// read back from the PDF the engine writes.
#include "reporttestkit.h"

#include "data/database.h"
#include "data/dataset.h"
#include "data/schema.h"
#include "printing/reportrenderer.h"
#include "printing/reporttemplate.h"
#include "printing/valueformat.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QDate>
#include <QElapsedTimer>
#include <QImage>

namespace {

TEST(ValueFormat, NumberAndDatePatterns)
{
    struct Case {
        QVariant value;
        const char *pattern;
        const char *expected;
    };
    const Case cases[] = {
        {1234567.891, "#,##0.###", "1,234,567.891"},
        {1234.5, "#,##0.###", "1,234.5"},
        {1234.0, "#,##0.###", "1,234"},
        {-1234.5, "#,##0.00", "-1,234.50"},
        {999.9999, "#,##0.00", "1,000.00"},
        {0.0, "#,##0.###", "0"},
        {-0.001, "0.00", "0.00"}, // no "-0.00"
        {3.14159, "0.00", "3.14"},
        {42, "0.00", "42.00"},
        {0.256, "0.00%", "25.60%"},
        {1.0, "0%", "100%"},
        {QString("12.5"), "0.00", "12.50"}, // numbers that come back as text
        {1500, "¥#,##0.00元", "¥1,500.00元"},
        {QDate(2026, 3, 5), "yyyy-M-d", "2026-3-5"},
        {QDateTime(QDate(2026, 12, 25), QTime(8, 5)), "yyyy-M-d H:mm", "2026-12-25 8:05"},
        {QString("2026-03-05"), "yyyy年M月d日", "2026年3月5日"}, // ISO text from a query
        {QDate(2026, 3, 5), "", "2026-3-5"},
        {QVariant(), "#,##0.00", ""},
        {QString("无"), "0.00", "无"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ValueFormat::apply(c.value, QString::fromUtf8(c.pattern)), QString::fromUtf8(c.expected))
            << c.pattern << " over " << c.value.toString().toStdString();
}

TEST(ReportTemplate, RefusesMalformedTemplatesWithTheReason)
{
    struct Case {
        const char *xml;
        const char *reason;
    };
    const Case cases[] = {
        {"", "不是报表模板"},
        {"<report version='1'><band type='detail'>", "第 1 行"},
        {"<template version='1'/>", "根元素应为 <report>"},
        {"<report/>", "缺少版本号"},
        {"<report version='9'/>", "不支持的模板版本：9"},
        {"<report version='1'><band type='middle'/></report>", "未知的区域类型：middle"},
        {"<report version='1'><band type='groupHeader'/></report>", "分组区域需要 field"},
        {"<report version='1'><band type='groupFooter' field='A'/></report>", "没有对应的分组头"},
        {"<report version='1'><band type='detail' height='x'/></report>", "不是数字"},
        {"<report version='1'><band type='detail'><text>[Name</text></band></report>", "缺少 ]"},
        {"<report version='1'><band type='detail'><text>[median(Money)]</text></band></report>", "无法识别的表达式"},
        {"<report version='1'><band type='detail'><image/></band></report>", "field 或 file"},
        {"<report version='1'><page size='A9'/></report>", "未知的纸张"},
        {"<report version='1'><page margins='1 2'/></report>", "页边距"},
        {"<report version='1'><labels columns='0' rows='3'/></report>", "至少 1 列"},
        {"<report version='1'><band type='detail'/><labels columns='2' rows='3'/></report>", "不能同时使用"},
        {"<report version='1'><band type='title'/><band type='title'/></report>", "只能有一个"},
        // Bands that would print every row over the one before.
        {"<report version='1'><band type='detail' height='-7'><text w='9' h='5'>x</text></band></report>", "区域高度必须大于 0"},
        {"<report version='1'><band type='detail' height='nan'><text w='9' h='5'>x</text></band></report>", "不是数字：nan"},
        {"<report version='1'><band type='detail' height='inf'/></report>", "不是数字：inf"},
        {"<report version='1'><band type='detail'><text w='9' h='5'>x</text></band></report>", "区域高度必须大于 0"},
        {"<report version='1'><band type='detail' height='5'><text w='-nan' h='5'>x</text></band></report>", "不是数字"},
    };
    for (const Case &c : cases) {
        ReportTemplate t;
        QString error;
        EXPECT_FALSE(t.loadXml(c.xml, &error)) << c.xml;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason))) << c.xml << " -> " << error.toStdString();
    }
    ReportTemplate t;
    QString error;
    EXPECT_FALSE(t.load("/nonexistent/frNothing.frf", &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST(ReportTemplate, RefusesTemplatesBeyondItsBounds)
{
    // Refused before anything is laid out, however many rows wait.
    const QByteArray item = "<field x='1' y='1' w='20' h='5' name='CustName'/>";
    auto templateOf = [&](int items, int padding) {
        return "<report version='1'><band type='detail' height='6'>" + item.repeated(items) + "</band>"
            + QByteArray(padding, ' ') + "</report>";
    };
    struct Case {
        const char *what;
        QByteArray xml;
        const char *reason;
    };
    const Case cases[] = {
        {"too many items", templateOf(ReportTemplate::kMaxItems + 1, 0), "模板中的项目超过 5000 个"},
        {"too many bytes", templateOf(1, int(ReportTemplate::kMaxFileBytes)), "模板文件超过 1024 KB"},
    };
    for (const Case &c : cases) {
        ReportTemplate t;
        QString error;
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(t.loadXml(c.xml, &error)) << c.what;
        EXPECT_LT(timer.elapsed(), 2000) << c.what;
        EXPECT_TRUE(error.contains(QString::fromUtf8(c.reason))) << c.what << ": " << error.toStdString();
    }
    ReportTemplate t;
    QString error;
    EXPECT_TRUE(t.loadXml(templateOf(ReportTemplate::kMaxItems, 0), &error)) << error.toStdString();

    // A file is read no further than the bound: /dev/zero ends at once.
    QElapsedTimer timer;
    timer.start();
    EXPECT_FALSE(t.load("/dev/zero", &error));
    EXPECT_TRUE(error.contains("模板文件超过")) << error.toStdString();
    EXPECT_LT(timer.elapsed(), 2000);
}

TEST(ReportTemplate, ReadsPageFontsAndItems)
{
    ReportTemplate t;
    QString error;
    ASSERT_TRUE(t.loadXml(R"X(<report version="1" title="T">
        <page size="A5" orientation="landscape" margins="10 12 14 16"/>
        <font size="9"/>
        <band type="detail" height="7">
          <field x="1" y="2" w="30" h="5" name="Money" format="#,##0.00" align="right" bold="true"/>
          <text x="40" w="20" h="5" size="12">合计 [[含税]] [sum(Money)|0.00]</text>
          <line x1="0" y1="7" x2="100" y2="7" pen="0.5"/>
        </band>
      </report>)X", &error)) << error.toStdString();
    EXPECT_EQ(t.pageSizeMm().toSize(), QSize(210, 148));
    EXPECT_EQ(t.margins, QMarginsF(10, 12, 14, 16));
    const ReportBand *d = t.band(ReportBand::Type::Detail);
    ASSERT_NE(d, nullptr);
    ASSERT_EQ(d->items.size(), 3);
    const ReportItem &f = d->items[0];
    EXPECT_EQ(f.rect, QRectF(1, 2, 30, 5));
    EXPECT_EQ(f.font.family, "Noto Sans CJK SC");
    EXPECT_EQ(f.font.size, 9);
    EXPECT_TRUE(f.font.bold);
    EXPECT_EQ(f.align, Qt::AlignRight | Qt::AlignVCenter);
    ASSERT_EQ(f.parts.size(), 1);
    EXPECT_EQ(f.parts[0].kind, TextPart::Kind::Field);
    EXPECT_EQ(f.parts[0].format, "#,##0.00");
    const ReportItem &s = d->items[1];
    EXPECT_EQ(s.font.size, 12);
    ASSERT_EQ(s.parts.size(), 2);
    EXPECT_EQ(s.parts[0].text, "合计 [含税] ");
    EXPECT_EQ(s.parts[1].kind, TextPart::Kind::Sum);
    EXPECT_EQ(d->items[2].rect, QRectF(QPointF(0, 7), QPointF(100, 7)));
    EXPECT_EQ(d->items[2].lineWidth, 0.5);
}

// A contact history of three customers as the fixture of the band tests.
class ReportEngineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        t = std::make_unique<TempDatabase>(Engine::SQLite);
        Database &db = t->db();
        ASSERT_EQ(db.insertRow("tblUserInfo", {{"UserName", "安心家政服务公司"}, {"Address", "北京市海淀区学院路1号"},
                                               {"PostCode", "100083"}, {"Telephone", "010-62345678"}}),
                  "");
        info = std::make_unique<Dataset>(&db, "tblUserInfo", Schema::table("tblUserInfo"));
        ASSERT_TRUE(info->open());
        history = std::make_unique<Dataset>(&db, "tblCustomerState", Schema::table("tblCustomerState"));
        history->setOrderBy({"CustID", "RowNo"});
    }

    void addVisits(const QString &cust, const QList<double> &charges)
    {
        for (double c : charges) {
            const int n = ++visits;
            ASSERT_EQ(t->db().insertRow("tblCustomerState",
                                        {{"CustID", cust}, {"LinkDate", QDate(2026, 1, 1).addDays(n)},
                                         {"LinkType", "上门"}, {"Linkman", QString("联系人%1").arg(n)},
                                         {"Charge", c}}),
                      "");
        }
    }

    Dataset *data()
    {
        if (!history->isActive()) {
            EXPECT_TRUE(history->open());
        }
        return history.get();
    }

    DatasetResolver resolver()
    {
        return [this](const QString &name) { return name.compare("tblUserInfo", Qt::CaseInsensitive) == 0 ? info.get() : nullptr; };
    }

    std::unique_ptr<TempDatabase> t;
    std::unique_ptr<Dataset> info, history;
    int visits = 0;
};

const QByteArray kListTemplate = R"X(<report version="1" title="客户联系记录">
  <page size="A4" margins="15 15 15 15"/>
  <band type="pageHeader" height="10">
    <text x="0" y="0" w="120" h="6">[tblUserInfo.UserName]</text>
    <text x="120" y="0" w="60" h="6" align="right">打印日期：[PrintDate]</text>
  </band>
  <band type="title" height="20">
    <text x="0" y="4" w="180" h="10" align="center" size="16" bold="true">客户联系记录</text>
  </band>
  <band type="columnHeader" height="8">
    <text x="0" w="30" h="8" borders="ltrb">序号</text>
    <text x="30" w="40" h="8" borders="ltrb">联系日期</text>
    <text x="70" w="60" h="8" borders="ltrb">联系人</text>
    <text x="130" w="50" h="8" borders="ltrb" align="right">费用</text>
  </band>
  <band type="groupHeader" field="CustID" height="8">
    <text x="0" w="180" h="8" bold="true">客户：[CustID]</text>
  </band>
  <band type="detail" height="10">
    <text x="0" w="30" h="10">[Line]</text>
    <field x="30" w="40" h="10" name="LinkDate"/>
    <field x="70" w="60" h="10" name="Linkman"/>
    <field x="130" w="50" h="10" name="Charge" format="#,##0.00" align="right"/>
  </band>
  <band type="groupFooter" field="CustID" height="8">
    <text x="70" w="60" h="8">小计 [count()] 次</text>
    <expr x="130" w="50" h="8" value="sum(Charge)" format="#,##0.00" align="right"/>
  </band>
  <band type="summary" height="16">
    <line x1="0" y1="1" x2="180" y2="1"/>
    <text x="70" y="2" w="60" h="8">合计 [count(Charge)] 次</text>
    <expr x="130" y="2" w="50" h="8" value="sum(Charge)" format="#,##0.00" align="right"/>
    <text x="70" y="9" w="110" h="6">平均 [avg(Charge)|0.00]，最高 [max(Charge)|#,##0.###]</text>
  </band>
  <band type="pageFooter" height="10">
    <pageNumber x="0" y="2" w="180" h="6" align="center"/>
  </band>
</report>)X";

TEST_F(ReportEngineTest, EveryBandOfAListInItsPlaceWithGroupSums)
{
    addVisits("KH001", {1234.5, 100});
    addVisits("KH002", {0.25});
    addVisits("KH003", {1000000, 2000000.125, 3});
    const PreparedReport r = prepareXml(kListTemplate, data(), resolver());
    EXPECT_TRUE(r.warnings.isEmpty()) << r.warnings.join(",").toStdString();
    const PdfText pdf = pdfText(r);
    ASSERT_TRUE(pdf.error.isEmpty()) << pdf.error.toStdString();
    EXPECT_EQ(pdf.pageCount, 1);
    const QString text = pdf.all();
    EXPECT_TRUE(onOneLine(text, {"安心家政服务公司", "打印日期：2026-3-5"})) << text.toStdString();
    EXPECT_TRUE(inOrder(text, {"安心家政服务公司", "客户联系记录", "序号", "费用",
                               "客户：KH001", "2026-1-2", "联系人1", "1,234.50", "联系人2", "100.00", "小计 2 次", "1,334.50",
                               "客户：KH002", "联系人3", "0.25", "小计 1 次", "0.25",
                               "客户：KH003", "1,000,000.00", "2,000,000.13", "3.00", "小计 3 次", "3,000,003.13",
                               "合计 6 次", "3,001,337.88", "平均 500222.98", "最高 2,000,000.125", "第 1 页  共 1 页"}))
        << text.toStdString();
    EXPECT_TRUE(onOneLine(text, {"6", "2026-1-7", "联系人6", "3.00"})) << "the row number counts through the report";
}

TEST_F(ReportEngineTest, LongListsBreakIntoPagesWithHeadersOnEachPage)
{
    QList<double> charges;
    for (int i = 1; i <= 45; ++i)
        charges << i;
    addVisits("KH001", charges);
    // Page 1: 297 - 15 - 15 - 10 (page header) - 20 (title) - 8 (column header)
    // - 8 (group header) - 10 (page footer) leaves 211 mm: 21 rows of 10 mm.
    // Page 2 has 239 mm: 23 rows. Page 3: the last row, its group and the summary.
    const PreparedReport r = prepareXml(kListTemplate, data(), resolver());
    const PdfText pdf = pdfText(r);
    ASSERT_EQ(pdf.pageCount, 3) << pdf.all().toStdString();
    ASSERT_EQ(pdf.pages.size(), 3);
    for (int p = 0; p < 3; ++p) {
        const QString &page = pdf.pages[p];
        EXPECT_TRUE(inOrder(page, {"安心家政服务公司"})) << p;
        EXPECT_TRUE(inOrder(page, {"联系日期"})) << "column header on page " << p + 1;
        EXPECT_TRUE(inOrder(page, {QString("第%1页共3页").arg(p + 1)})) << page.toStdString();
        EXPECT_EQ(inOrder(page, {"客户联系记录"}), p == 0) << "the title only opens the report";
    }
    EXPECT_TRUE(inOrder(pdf.pages[0], {"联系人1", "联系人21"}));
    EXPECT_FALSE(onOneLine(pdf.pages[0], {"联系人22 "}));
    EXPECT_TRUE(inOrder(pdf.pages[1], {"联系人22", "联系人44"}));
    EXPECT_FALSE(onOneLine(pdf.pages[1], {"联系人45 "}));
    EXPECT_TRUE(inOrder(pdf.pages[2], {"联系人45", "小计 45 次", "1,035.00", "合计 45 次"}));
}

TEST_F(ReportEngineTest, GroupsCanStartNewPagesAndHeadersKeepWithTheirRows)
{
    addVisits("KH001", {1, 2});
    addVisits("KH002", {3});
    addVisits("KH003", {4});
    QByteArray xml = kListTemplate;
    xml.replace(R"X(<band type="groupHeader" field="CustID" height="8">)X",
                R"X(<band type="groupHeader" field="CustID" height="8" newPage="true">)X");
    const PdfText pdf = pdfText(prepareXml(xml, data(), resolver()));
    ASSERT_EQ(pdf.pageCount, 3);
    EXPECT_TRUE(inOrder(pdf.pages[0], {"客户联系记录", "客户：KH001", "小计 2 次", "3.00"}));
    EXPECT_TRUE(inOrder(pdf.pages[1], {"联系日期", "客户：KH002", "小计 1 次", "3.00"}));
    EXPECT_TRUE(inOrder(pdf.pages[2], {"客户：KH003", "4.00", "合计 4 次", "10.00", "第 3 页  共 3 页"}));
}

TEST_F(ReportEngineTest, AGroupHeaderNeverStandsAloneAtTheFootOfAPage)
{
    // Page 1 ends at 272 mm; KH001's header, 19 rows and footer reach 259 mm:
    // KH002's header (8 mm) would fit, its first row (10 mm) would not.
    QList<double> charges;
    for (int i = 0; i < 19; ++i)
        charges << 1;
    addVisits("KH001", charges);
    addVisits("KH002", {5});
    const PdfText pdf = pdfText(prepareXml(kListTemplate, data(), resolver()));
    ASSERT_EQ(pdf.pageCount, 2);
    EXPECT_TRUE(inOrder(pdf.pages[0], {"客户：KH001", "小计 19 次", "19.00"}));
    EXPECT_FALSE(inOrder(pdf.pages[0], {"KH002"}));
    EXPECT_TRUE(inOrder(pdf.pages[1], {"客户：KH002", "联系人20", "5.00", "合计 20 次", "24.00"}));
}

TEST_F(ReportEngineTest, AnEmptyDatasetStillPrintsItsFrame)
{
    const PdfText pdf = pdfText(prepareXml(kListTemplate, data(), resolver()));
    ASSERT_EQ(pdf.pageCount, 1);
    EXPECT_TRUE(inOrder(pdf.all(), {"客户联系记录", "联系日期", "合计 0 次", "0.00", "第 1 页  共 1 页"}));
    EXPECT_FALSE(inOrder(pdf.all(), {"小计"}));
}

// A template within its own bounds that would still make more than one
// run may hold over the rows at hand stops within seconds, with no pages.
TEST_F(ReportEngineTest, ARunStopsAtItsBoundsWithinSeconds)
{
    ASSERT_EQ(t->db().begin(), "");
    addVisits("KH001", QList<double>(300, 1.0));
    ASSERT_EQ(t->db().commit(), "");
    const QByteArray manyItems =
        "<report version='1'><band type='detail' height='6'>"
        + QByteArray("<field x='1' y='1' w='20' h='5' name='Linkman'/>").repeated(ReportTemplate::kMaxItems)
        + "</band></report>";
    const QByteArray longText = "<report version='1'><band type='detail' height='6'><text w='20' h='5'>"
        + QByteArray(500000, 'x') + "</text></band></report>";
    struct Case {
        const char *what;
        QByteArray xml;
        const char *reason;
    };
    const Case cases[] = {
        {"items", manyItems, "报表超过 1000000 个项目"},
        {"text", longText, "报表的文字超过 50000000 个字符"},
    };
    for (const Case &c : cases) {
        ReportTemplate tpl;
        QString error;
        ASSERT_TRUE(tpl.loadXml(c.xml, &error)) << error.toStdString();
        ReportLayout layout(tpl, data(), resolver());
        QElapsedTimer timer;
        timer.start();
        const PreparedReport r = layout.prepare();
        // About three seconds on an idle build machine; the bound leaves
        // room for a machine busy with other builds.
        EXPECT_LT(timer.elapsed(), 30000) << c.what;
        EXPECT_EQ(layout.tooLarge(), QString::fromUtf8(c.reason)) << c.what;
        EXPECT_TRUE(r.pages.isEmpty()) << c.what;
    }
    // The same rows under an ordinary template print whole.
    ReportTemplate tpl;
    QString error;
    ASSERT_TRUE(tpl.loadXml(kListTemplate, &error)) << error.toStdString();
    ReportLayout layout(tpl, data(), resolver());
    EXPECT_FALSE(layout.prepare().pages.isEmpty());
    EXPECT_EQ(layout.tooLarge(), "");
}

TEST_F(ReportEngineTest, UnknownFieldsAreReportedNotPrinted)
{
    addVisits("KH001", {1});
    const PreparedReport r = prepareXml(R"X(<report version="1"><band type="detail" height="10">
        <text w="100" h="8">[Linkman] [Nothing] [tblNowhere.Name]</text></band></report>)X",
                                        data(), resolver());
    EXPECT_EQ(r.warnings, QStringList({"Nothing", "tblNowhere.Name"}));
    EXPECT_TRUE(inOrder(pdfText(r).all(), {"联系人1"}));
}

// No window but the agency's own opens its details; a printout from any
// other window still carries the agency's name.
TEST_F(ReportEngineTest, AClosedSetTheTemplateReadsIsOpenedForIt)
{
    addVisits("KH001", {1});
    info->close();
    Dataset gone(&t->db(), "tblGone", "SELECT Name FROM tblGone");
    const DatasetResolver sets = [&](const QString &name) -> Dataset * {
        return name == "tblGone" ? &gone : resolver()(name);
    };
    const PreparedReport r = prepareXml(R"X(<report version="1"><band type="pageHeader" height="10">
        <text w="100" h="8">[tblUserInfo.UserName] [tblUserInfo.Telephone]</text></band>
        <band type="detail" height="10"><text w="100" h="8">[Linkman] [tblGone.Name]</text></band></report>)X",
                                        data(), sets);
    EXPECT_TRUE(info->isActive());
    EXPECT_TRUE(inOrder(pdfText(r).all(), {"安心家政服务公司", "010-62345678", "联系人1"})) << pdfText(r).all().toStdString();
    // A set that cannot be read leaves its fields empty and says why.
    ASSERT_EQ(r.warnings.size(), 2) << r.warnings.join(" / ").toStdString();
    EXPECT_TRUE(r.warnings[0].startsWith("tblGone: ")) << r.warnings[0].toStdString();
    EXPECT_GT(r.warnings[0].size(), QString("tblGone: ").size());
    EXPECT_EQ(r.warnings[1], "tblGone.Name");
}

TEST_F(ReportEngineTest, LabelsFillTheGridRowByRowAndSheetBySheet)
{
    for (int i = 1; i <= 7; ++i)
        addVisits(QString("KH%1").arg(i, 3, 10, QChar('0')), {double(i)});
    const QByteArray xml = R"X(<report version="1" title="信封">
      <labels columns="2" rows="3" left="10" top="12" width="90" height="85" hgap="10" vgap="2">
        <text x="5" y="5" w="80" h="6">[CustID]</text>
        <field x="5" y="15" w="80" h="8" name="Linkman" size="14"/>
        <text x="5" y="60" w="80" h="6">寄件人：[tblUserInfo.UserName]</text>
        <text x="5" y="67" w="80" h="6">[tblUserInfo.Address] [tblUserInfo.PostCode]</text>
        <box x="0" y="0" w="90" h="85"/>
      </labels>
    </report>)X";
    const PreparedReport r = prepareXml(xml, data(), resolver());
    ASSERT_EQ(r.pages.size(), 2);
    // Cells sit where the grid says, in millimetres from the sheet's corner.
    EXPECT_EQ(r.pages[0][0].rect, QRectF(15, 17, 80, 6));
    EXPECT_EQ(r.pages[0][5].rect, QRectF(115, 17, 80, 6));   // second column
    EXPECT_EQ(r.pages[0][10].rect, QRectF(15, 104, 80, 6));  // second row
    const PdfText pdf = pdfText(r);
    ASSERT_EQ(pdf.pageCount, 2);
    EXPECT_TRUE(onOneLine(pdf.pages[0], {"KH001", "KH002"})) << pdf.pages[0].toStdString();
    EXPECT_TRUE(inOrder(pdf.pages[0], {"KH001", "KH003", "KH005"}));
    EXPECT_FALSE(inOrder(pdf.pages[0], {"KH007"}));
    EXPECT_TRUE(inOrder(pdf.pages[1], {"KH007"}));
    EXPECT_EQ(occurrences(pdf.pages[0], "寄件人：安心家政服务公司"), 6);
    EXPECT_EQ(occurrences(pdf.pages[1], "北京市海淀区学院路1号"), 1);
}

TEST_F(ReportEngineTest, PhotosLinesAndBoxesArePainted)
{
    const QString photo = t->dir() + "/photo.png";
    QImage red(40, 60, QImage::Format_RGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(photo));
    Dataset people(&t->db(), "people", QString("select '%1' as Photo union all select '' as Photo").arg(photo));
    ASSERT_TRUE(people.open());
    const PreparedReport r = prepareXml(R"X(<report version="1"><page margins="0"/>
        <band type="detail" height="100">
          <image x="10" y="10" w="40" h="60" field="Photo"/>
          <box x="60" y="10" w="40" h="40" pen="1"/>
          <line x1="110" y1="10" x2="110" y2="50" pen="1"/>
        </band></report>)X",
                                        &people);
    ASSERT_EQ(r.pages.size(), 1);
    const QImage page = ReportRenderer::pageImage(r, 0, 72); // 72 dpi: 1 mm = 2.83 px
    auto at = [&](double xmm, double ymm) { return page.pixelColor(qRound(xmm * 72 / 25.4), qRound(ymm * 72 / 25.4)); };
    EXPECT_EQ(at(30, 40), QColor(Qt::red));
    EXPECT_EQ(at(30, 140), QColor(Qt::white)) << "the second row has no photo and draws none";
    EXPECT_LT(at(60, 30).lightness(), 100) << "box edge";
    EXPECT_EQ(at(80, 30), QColor(Qt::white)) << "box inside stays empty";
    EXPECT_LT(at(110, 30).lightness(), 100) << "line";
}

} // namespace
