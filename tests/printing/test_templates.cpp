// The templates shipped in Data/Report load and fill from the datasets
// their print commands hand them.
#include "reporttestkit.h"

#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "printing/printreport.h"
#include "testlib/apphome.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>

namespace {

const QString kShipped = QStringLiteral(QT_TESTCASE_SOURCEDIR "/../Data/Report");

class ShippedTemplateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(home.path("Data/Report")));
        for (const QString &f : QDir(kShipped).entryList({"*.frf"}))
            ASSERT_TRUE(QFile::copy(kShipped + "/" + f, home.path("Data/Report/" + f)));
        t = std::make_unique<TempDatabase>(Engine::SQLite);
        Database &db = t->db();
        ASSERT_EQ(db.insertRow("tblUserInfo", {{"UserName", "安心家政服务公司"}, {"Address", "北京市海淀区学院路1号"},
                                               {"PostCode", "100083"}}),
                  "");
        ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", "KH001"}, {"CustName", "王府花园物业"}, {"CountryID", "CN"},
                                                {"City", "北京"}, {"PostCode", "100101"}, {"Telephone", "010-88886666"},
                                                {"Address", "朝阳区安立路8号"}, {"MainLinkman", "刘芳"},
                                                {"CreateDate", QDateTime(QDate(2025, 11, 3), QTime(0, 0))},
                                                {"Memo", "每周二上门保洁"}}),
                  "");
        ASSERT_EQ(db.insertRow("tblCustomers", {{"CustId", "KH002"}, {"CustName", "陈家"}, {"Address", "上海市徐汇区漕溪路2号"},
                                                {"PostCode", "200235"}}),
                  "");
        ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "L1"}, {"CustID", "KH001"}, {"Name", "刘芳"}, {"Duty", "经理"}}), "");
        ASSERT_EQ(db.insertRow("tblLinkmans", {{"LinkmanID", "L1"}, {"CustID", "KH002"}, {"Name", "陈明"}, {"Duty", "先生"}}), "");
        ASSERT_EQ(dm.connectTo(t->openAnother()), "");
        for (const char *name : {"tblUserInfo", "tblCustomers", "qryLinkmans3"})
            if (!dm.dataset(name)->isActive()) {
                ASSERT_TRUE(dm.dataset(name)->open()) << name;
            }
    }

    AppHome home;
    std::unique_ptr<TempDatabase> t;
    TdmMain dm;
};

TEST_F(ShippedTemplateTest, EachTemplateFillsFromItsDataset)
{
    struct Case {
        const char *name;
        const char *dataset;
        int pages;
        QStringList texts; // in this order in the PDF
    };
    const Case cases[] = {
        {"frCustomers", "tblCustomers", 1,
         {"安心家政服务公司", "打印日期：", "客户资料列表", "客户编号", "地址", "KH001", "王府花园物业", "010-88886666", "刘芳",
          "朝阳区安立路8号", "KH002", "陈家", "共 2 位客户", "第 1 页  共 1 页"}},
        {"frCustomerDetail", "tblCustomers", 2,
         {"客户资料", "KH001", "王府花园物业", "中国", "北京", "100101", "2025-11-3", "刘芳", "朝阳区安立路8号",
          "每周二上门保洁", "第 1 页  共 2 页", "客户资料", "KH002", "陈家", "第 2 页  共 2 页"}},
        {"frEnvelop", "qryLinkmans3", 1,
         {"100101", "200235", "朝阳区安立路8号", "上海市徐汇区漕溪路2号", "王府花园物业", "陈家", "刘芳 经理 收", "陈明 先生 收"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PreparedReport r;
        QString error;
        ASSERT_TRUE(prepareReport(dm.dataset(c.dataset), c.name, &r, &error)) << error.toStdString();
        EXPECT_TRUE(r.warnings.isEmpty()) << r.warnings.join(", ").toStdString();
        const PdfText pdf = pdfText(r);
        EXPECT_EQ(pdf.pageCount, c.pages);
        EXPECT_TRUE(inOrder(pdf.all(), c.texts)) << pdf.all().toStdString();
    }
}

} // namespace
