// Reading spreadsheets: CSV in both encodings with its quoting, workbooks
// of both formats made by other writers, damaged files refused with a
// reason, the columns matched to fields and dates as clerks type them.
#include "import/importtarget.h"
#include "import/sheet.h"
#include "import/sheetfiles.h"
#include "import/sheetimport.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QStringEncoder>
#include <QTemporaryDir>

// Grids shown line by line when they differ (found by argument lookup,
// hence outside the file's own namespace).
void PrintTo(const SheetFiles::Grid &g, std::ostream *os)
{
    for (const QStringList &r : g)
        *os << "\n  [" << r.join(QStringLiteral(" | ")).toStdString() << "]";
}

namespace {

// The sheet as headers plus rows, every row as wide as the headers, so a
// workbook that leaves trailing empty cells out compares with a CSV file.
SheetFiles::Grid asGrid(const Sheet &s)
{
    SheetFiles::Grid g{s.headers};
    for (int r = 0; r < s.rows.size(); ++r) {
        QStringList row;
        for (int c = 0; c < s.headers.size(); ++c)
            row << s.cell(r, c);
        g << row;
    }
    return g;
}

const SheetFiles::Grid kWorkers = {
    {"员工编号", "姓名", "手机", "出生年月", "身份证号", "备注"},
    {"Y001", "张晓燕", "#num:13800138000", "#date:1990-05-01", "110101199003071234", "会做饭, 带孩子"},
    {"Y002", "单立新", "13900000002", "", "", "说\"好\"的"},
    {"", "", "", "", "", ""}, // an empty line between the rows
    {"Y003", "O'Hara", "#num:13700000003", "#date:1985-12-31", "", ""},
};

TEST(SheetReaderTest, WorkbooksOfBothFormatsReadAsTheirWritersWroteThem)
{
    QTemporaryDir dir;
    struct Case {
        const char *file;
        std::function<QString(const QString &)> write;
    };
    const Case cases[] = {
        {"shared.xlsx", [](const QString &p) { return SheetFiles::writeXlsx(p, kWorkers); }},
        {"inline.xlsx", [](const QString &p) { return SheetFiles::writeXlsx(p, kWorkers, true); }},
        {"old.xls", [](const QString &p) { return SheetFiles::writeXls(p, kWorkers); }},
        {"utf8.csv", [](const QString &p) { return SheetFiles::writeCsv(p, kWorkers, "UTF-8"); }},
        {"bom.csv", [](const QString &p) { return SheetFiles::writeCsv(p, kWorkers, "UTF-8", true); }},
        {"gb.csv", [](const QString &p) { return SheetFiles::writeCsv(p, kWorkers, "GB18030"); }},
    };
    SheetFiles::Grid expected = SheetFiles::asRead(kWorkers);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        ASSERT_EQ(c.write(path), "");
        Sheet sheet;
        ASSERT_EQ(SheetReader::read(path, &sheet), "");
        EXPECT_EQ(asGrid(sheet), expected);
        EXPECT_EQ(sheet.headerLine, 1);
        const QString file = QString::fromLatin1(c.file);
        EXPECT_EQ(sheet.encoding, file == "gb.csv" ? "GB18030" : file.endsWith(".csv") ? "UTF-8" : "");
    }
}

TEST(SheetReaderTest, CsvQuotingSeparatorsAndTheExportsFormulaGuard)
{
    struct Case {
        const char *name;
        QByteArray bytes;
        SheetFiles::Grid expected;
    };
    QStringEncoder gb("GB18030");
    const Case cases[] = {
        {"quoted comma, quote and line break; CR LF",
         "a,b\r\n\"x, y\",\"say \"\"hi\"\"\"\r\n\"two\nlines\",z\r\n",
         {{"a", "b"}, {"x, y", "say \"hi\""}, {"two\nlines", "z"}}},
        {"tabs", "姓名\t电话\n张三\t010-1\n", {{"姓名", "电话"}, {"张三", "010-1"}}},
        {"semicolons", "a;b\n1;2\n", {{"a", "b"}, {"1", "2"}}},
        {"no line end at the end, a short row", "a,b,c\n1", {{"a", "b", "c"}, {"1", "", ""}}},
        {"the grid export's guard taken off", "a,b\n'=SUM(A1),'-5\n'x,\"'+1\"\n",
         {{"a", "b"}, {"=SUM(A1)", "-5"}, {"'x", "+1"}}},
        {"empty lines above the headers", "\n,\n姓名\n张三\n", {{"姓名"}, {"张三"}}},
        {"GB18030 beyond GB2312", gb(QStringLiteral("姓名\n𠀀䶮\n")), {{"姓名"}, {"𠀀䶮"}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        Sheet sheet;
        ASSERT_EQ(SheetReader::readCsv(c.bytes, &sheet), "");
        EXPECT_EQ(asGrid(sheet), c.expected);
    }
    Sheet above;
    ASSERT_EQ(SheetReader::readCsv("\n,\n姓名\n张三\n", &above), "");
    EXPECT_EQ(above.headerLine, 3); // the lines of the report stay the file's own
}

TEST(SheetReaderTest, DamagedAndWrongFilesAreRefusedWithAReason)
{
    QTemporaryDir dir;
    const QString good = dir.filePath("good.xlsx");
    ASSERT_EQ(SheetFiles::writeXlsx(good, kWorkers), "");
    QFile g(good);
    ASSERT_TRUE(g.open(QIODevice::ReadOnly));
    const QByteArray xlsx = g.readAll();
    struct Case {
        const char *file;
        QByteArray bytes;
        const char *says;
    };
    const Case cases[] = {
        {"cut.xlsx", xlsx.left(xlsx.size() / 2), "已损坏"},
        {"noise.xls", QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(3000, '\x07'), "已损坏"},
        {"zip.xlsx", QByteArray("PK\x03\x04", 4) + QByteArray(100, 'z'), "已损坏"},
        {"empty.csv", QByteArray(), "没有数据"},
        {"picture.csv", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "无法识别"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.file);
        const QString path = dir.filePath(QString::fromLatin1(c.file));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        Sheet sheet;
        EXPECT_TRUE(SheetReader::read(path, &sheet).contains(QString::fromUtf8(c.says)))
            << SheetReader::read(path, &sheet).toStdString();
    }
    Sheet sheet;
    EXPECT_TRUE(SheetReader::read(dir.filePath("missing.csv"), &sheet).startsWith("对不起，无法读取文件："));
}

TEST(SheetReaderTest, WorkbookDayNumbers)
{
    const std::pair<double, const char *> cases[] = {
        {1, "1900-01-01"},        {59, "1900-02-28"}, {61, "1900-03-01"}, // the 29th that never was
        {32994, "1990-05-01"},    {45352.5, "2024-03-01 12:00:00"},
    };
    for (const auto &[serial, text] : cases)
        EXPECT_EQ(SheetReader::excelDateText(serial), text) << serial;
    EXPECT_EQ(SheetReader::excelDateText(0, true), "1904-01-01");
}

TEST(SheetImportTest, HeadersGuessTheirFields)
{
    struct Case {
        const char *name;
        ImportTarget target;
        QStringList headers;
        SheetImport::Mapping expected;
    };
    const Case cases[] = {
        {"workers, captions and other names",
         ImportTarget::workers(),
         {"序号", "工号", "姓名", "性别", "身份证号码", "手机号", "电话", "家庭住址", "出生日期", "受聘客户"},
         {"", "YuangongID", "Name", "Sex", "ID", "Mobile", "HTelephone", "Address", "Birth", "CustID"}},
        {"workers, blanks, colons and a header holding a name",
         ImportTarget::workers(),
         {" 员工 编号：", "姓　名", "联系电话(住宅)", "客户代码", "备注说明"},
         {"YuangongID", "Name", "HTelephone", "CustID", "Memo"}},
        {"a field taken once, by the surer header",
         ImportTarget::workers(),
         {"电话", "家庭电话", "姓名", "名字"},
         {"", "HTelephone", "Name", ""}},
        {"customers",
         ImportTarget::customers(),
         {"客户名称", "电话", "手机", "地址", "联系人", "客户类型", "建档日期", "客户代码", "不相干"},
         {"CustName", "Telephone", "MainTelephone", "Address", "MainLinkman", "VocationID", "CreateDate", "CustId", ""}},
        {"customers named by 姓名", ImportTarget::customers(), {"姓名", "固定电话"}, {"CustName", "Telephone"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(SheetImport::guessMapping(c.target, c.headers), c.expected);
    }
}

TEST(SheetImportTest, DatesAsClerksTypeThem)
{
    const std::pair<const char *, const char *> cases[] = {
        {"1990-5-1", "1990-05-01 00:00:00"},    {"1990/05/01", "1990-05-01 00:00:00"},
        {"1990.5.1", "1990-05-01 00:00:00"},    {"1990年5月1日", "1990-05-01 00:00:00"},
        {"1990年5月", "1990-05-01 00:00:00"},   {"1990-05", "1990-05-01 00:00:00"},
        {"19900501", "1990-05-01 00:00:00"},    {"2024-03-01 08:30:00", "2024-03-01 08:30:00"},
        {"2024-3-1 8:30", "2024-03-01 08:30:00"}, {" 1990-5-1 ", "1990-05-01 00:00:00"},
        {"1990-02-30", ""}, {"1990", ""}, {"不详", ""}, {"5/1/1990", ""}, {"1990-13-01", ""},
    };
    for (const auto &[text, expected] : cases) {
        const QDateTime d = SheetImport::parseDate(QString::fromUtf8(text));
        EXPECT_EQ(d.isValid() ? d.toString("yyyy-MM-dd HH:mm:ss") : QString(), QString::fromUtf8(expected)) << text;
    }
}

} // namespace
