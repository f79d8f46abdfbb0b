// The templates shipped in Data/Report load and fill from the datasets
// their print commands hand them.
#include "reporttestkit.h"

#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "printing/reportrenderer.h"
#include "printing/printreport.h"
#include "printing/reportsources.h"
#include "printing/reporttemplate.h"
#include "testlib/apphome.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QSqlQuery>

#include <algorithm>
#include <cmath>

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
                                                {"Address", "朝阳区安立路8号"}, {"MainLinkman", "刘芳"}, {"MainTelephone", "13911112222"},
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
         {"安心家政服务公司", "打印日期：", "客户资料列表", "客户代码", "客户级别", "地址", "KH001", "王府花园物业", "010-88886666", "刘芳",
          "朝阳区安立路8号", "KH002", "陈家", "共 2 位客户", "第 1 页  共 1 页"}},
        {"frCustomerDetail", "tblCustomers", 2,
         {"客户资料", "KH001", "王府花园物业", "国籍", "中国", "受聘人数", "北京", "100101", "主要成员", "2025-11-3",
          "刘芳", "手机", "13911112222", "朝阳区安立路8号", "每周二上门保洁", "第 1 页  共 2 页", "客户资料", "KH002", "陈家", "第 2 页  共 2 页"}},
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

// A small agency with a row or two in every table that a template reads,
// on each engine.
class AllTemplatesTest : public ::testing::TestWithParam<Engine>
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(home.path("Data/Report")));
        for (const QString &f : QDir(kShipped).entryList({"*.frf"}))
            ASSERT_TRUE(QFile::copy(kShipped + "/" + f, home.path("Data/Report/" + f)));
        t = std::make_unique<TempDatabase>(GetParam());
        ASSERT_TRUE(t->error().isEmpty()) << t->error().toStdString();
        fill(t->db());
    }

    static QDateTime day(int y, int m, int d) { return QDateTime(QDate(y, m, d), QTime(0, 0)); }

    static void insert(Database &db, const char *table, const FieldValues &row)
    {
        ASSERT_EQ(db.insertRow(table, row), "") << table;
    }

    static void fill(Database &db)
    {
        insert(db, "tblUserInfo", {{"UserName", "安心家政服务公司"}, {"Address", "北京市海淀区学院路1号"},
                                   {"PostCode", "100083"}, {"Telephone", "010-62345678"}, {"Fax", "010-62345679"},
                                   {"Email", "office@anxin.cn"}, {"HomePage", "www.anxin.cn"}});
        insert(db, "tblFinanceOrgan", {{"OrganID", "B1"}, {"OrganName", "工商银行"}, {"Memo", "无"}});
        insert(db, "tblOperateType", {{"TypeID", "T1"}, {"TypeName", "住家服务"}, {"Memo", "无"}});
        insert(db, "tblGongzhong", {{"GongzhongID", "G1"}, {"GongzhongName", "育婴师"}, {"Memo", "无"}});
        insert(db, "tblJineng", {{"LevelID", "J1"}, {"LevelName", "高级"}, {"Memo", "无"}});
        insert(db, "tblCustomers", {{"CustId", "KH001"}, {"CustName", "王府花园物业"}, {"PostCode", "100101"},
                                    {"Telephone", "010-88886666"}, {"Address", "朝阳区安立路8号"}});
        insert(db, "tblCustomers", {{"CustId", "KH002"}, {"CustName", "陈家"}, {"PostCode", "200235"},
                                    {"Address", "上海市徐汇区漕溪路2号"}});
        insert(db, "tblLinkmans", {{"LinkmanID", "L1"}, {"CustID", "KH001"}, {"Name", "刘芳"}, {"Duty", "经理"},
                                   {"Main", true}, {"Mobile", "13900001111"}, {"Email", "liufang@wf.cn"},
                                   {"HomeAddress", "朝阳区北苑家园3号楼"}, {"Enjoy", "园艺"},
                                   {"SpecialDate", day(1980, 5, 20)}});
        insert(db, "tblLinkmans", {{"LinkmanID", "L1"}, {"CustID", "KH002"}, {"Name", "陈明"}, {"Duty", "先生"},
                                   {"Main", false}, {"Telephone", "021-64001234"}});
        insert(db, "tblCustomerState", {{"CustID", "KH001"}, {"LinkDate", QDate(2025, 12, 1)}, {"LinkTime", "10:00:00"},
                                        {"LinkType", "电话联系"}, {"Linkman", "刘芳"}, {"Duty", "经理"},
                                        {"LinkContent", "续签保洁合同"}, {"Charge", 120.5}});
        insert(db, "tblCustomerState", {{"CustID", "KH002"}, {"LinkDate", QDate(2025, 12, 9)}, {"LinkTime", "15:30:00"},
                                        {"LinkType", "登门拜访"}, {"Linkman", "陈明"}, {"Charge", 80}});
        insert(db, "tblCustomerAddInfo", {{"CustID", "KH001"}, {"BankID", "B1"}, {"Account", "6222020200112233"},
                                          {"VATaxName", "王府花园物业管理有限公司"}, {"VATaxID", "91110105MA01"}});
        insert(db, "tblOperaters", {{"OperaterID", "CZ01"}, {"Name", "张伟"}, {"Sex", "男"}, {"Mobile", "13800002222"}});
        insert(db, "tblOperates", {{"OperateID", "HT001"}, {"OperateTitle", "住家保姆服务"}, {"CustID", "KH001"},
                                   {"LinkmanID", "L1"}, {"TypeID", "T1"}, {"WriteDate", day(2025, 10, 1)},
                                   {"EndDate", day(2026, 9, 30)}, {"OperaterID", "CZ01"}, {"CompactAmount", 6000},
                                   {"Profit", 1500}, {"Rate", 0.25}, {"InOrOut", "收款"}, {"CurrID", "RMB"},
                                   {"RMB", 6000}, {"FilePath", "每月初结算"}});
        insert(db, "tblOperates", {{"OperateID", "HT002"}, {"OperateTitle", "钟点工介绍费"}, {"CustID", "KH002"},
                                   {"WriteDate", day(2025, 11, 2)}, {"EndDate", day(2026, 1, 31)},
                                   {"CompactAmount", 1500}, {"InOrOut", "付款"}, {"CurrID", "RMB"}, {"RMB", 1500}});
        insert(db, "tblOperateDetail", {{"OperateID", "HT001"}, {"DetailNo", 1}, {"OperateDate", day(2025, 10, 1)},
                                        {"DTitle", "首期款"}, {"InOut", "收款"}, {"CurrID", "RMB"}, {"Price", 2000},
                                        {"Amount", 1}, {"DTotal", 2000}, {"RMB", 2000}});
        insert(db, "tblOperateDetail", {{"OperateID", "HT001"}, {"DetailNo", 2}, {"OperateDate", day(2025, 11, 1)},
                                        {"DTitle", "十月服务费"}, {"InOut", "收款"}, {"CurrID", "RMB"}, {"Price", 1500},
                                        {"Amount", 1}, {"DTotal", 1500}, {"RMB", 1500}});
        insert(db, "tblOperateDetail", {{"OperateID", "HT002"}, {"DetailNo", 1}, {"OperateDate", day(2025, 11, 5)},
                                        {"DTitle", "介绍费"}, {"InOut", "付款"}, {"CurrID", "RMB"}, {"Price", 500},
                                        {"Amount", 1}, {"DTotal", 500}, {"RMB", 500}});
        insert(db, "tblPlan", {{"AttendMan", "张伟"}, {"PlanDate", day(2026, 1, 15)}, {"PlanTime", "09:30:00"},
                               {"Address", "朝阳区安立路8号"}, {"CustID", "KH001"}, {"Linkman", "刘芳"},
                               {"OperateId", "HT001"}, {"Memo", "面试育婴师"}});
        insert(db, "tblPlan", {{"AttendMan", "李娜"}, {"PlanDate", day(2026, 1, 20)}, {"PlanTime", "14:00:00"},
                               {"CustID", "KH002"}, {"Linkman", "陈明"}, {"Memo", "回访"}});
        insert(db, "tblShusong", {{"ShusongID", "SS01"}, {"ShusongName", "河北劳务输送中心"}, {"Manager", "王强"},
                                  {"Telephone", "0311-8765432"}});
        insert(db, "tblShusongYJ", {{"sNo", 1}, {"ShusongID", "SS01"}, {"JDate", QDate(2025, 12, 31)}, {"Jingban", "张伟"},
                                    {"Jieshao", 300}, {"Qita", 50}});
        insert(db, "tblShusongYJ", {{"sNo", 2}, {"ShusongID", "SS01"}, {"JDate", QDate(2026, 1, 31)}, {"Jingban", "张伟"},
                                    {"Jieshao", 200}, {"Qita", 0}});
        insert(db, "tblYuangong", {{"YuangongID", "YG001"}, {"Name", "李秀兰"}, {"Sex", "女"}, {"GongzhongID", "G1"},
                                   {"LevelID", "J1"}, {"Native", "河北保定"}, {"Mobile", "13700003333"},
                                   {"ShusongID", "SS01"}, {"CustID", "KH001"}, {"InTime", day(2025, 10, 8)},
                                   {"State", "在岗"}});
        insert(db, "tblYuangong", {{"YuangongID", "YG002"}, {"Name", "赵桂英"}, {"Sex", "女"}, {"CustID", "KH002"},
                                   {"State", "待岗"}});
    }

    AppHome home;
    std::unique_ptr<TempDatabase> t;
};

struct TemplateCase {
    const char *name;
    int pages;
    QStringList texts; // in this order in the PDF
};

// Every shipped template over its dataset, read in full as the command line
// reads it; the per-customer and per-contract sets then hold every master's
// rows, one group each.
const TemplateCase kEveryTemplate[] = {
    {"frYuangong", 1,
     {"安心家政服务公司", "员工档案列表", "YG001", "李秀兰", "育婴师", "高级", "河北保定", "河北劳务输送中心", "王府花园物业",
      "在岗", "YG002", "赵桂英", "陈家", "共 2 名员工", "第 1 页  共 1 页"}},
    {"frCustomerYuangong", 1,
     {"客户受聘员工", "客户：KH001 王府花园物业", "YG001", "李秀兰", "育婴师", "2025-10-8", "共 1 名员工",
      "客户：KH002 陈家", "YG002", "赵桂英", "待岗", "共 2 名员工"}},
    {"frShusong", 1, {"输送单位列表", "SS01", "河北劳务输送中心", "王强", "0311-8765432", "共 1 个输送单位"}},
    {"frShusongYJ", 1,
     {"佣金结算", "输送单位：SS01 河北劳务输送中心", "1", "2025-12-31", "300.00", "50.00", "张伟", "2", "2026-1-31", "200.00",
      "小计（2 次）", "500.00", "50.00", "合计", "500.00", "50.00", "共 2 次结算"}},
    {"frEnvelop", 1,
     {"100101", "200235", "朝阳区安立路8号", "上海市徐汇区漕溪路2号", "王府花园物业", "陈家", "刘芳 经理 收", "陈明 先生 收"}},
    {"frEnvelop6", 1,
     {"100101", "朝阳区安立路8号", "王府花园物业", "刘芳 经理 收", "寄件人：安心家政服务公司", "地址：北京市海淀区学院路1号",
      "邮政编码：100083", "电话：010-62345678", "传真：010-62345679", "网址：www.anxin.cn",
      "联系EMail：office@anxin.cn"}},
    {"frCustomers", 1, {"客户资料列表", "KH001", "王府花园物业", "KH002", "陈家", "共 2 位客户"}},
    {"frCustomerDetail", 2, {"客户资料", "KH001", "王府花园物业", "第 1 页  共 2 页", "KH002", "陈家"}},
    {"frCustomerLinkman", 1,
     {"客户联系人", "客户：KH001 王府花园物业", "L1", "刘芳", "是", "经理", "13900001111", "liufang@wf.cn",
      "共 1 位联系人", "客户：KH002 陈家", "陈明", "否", "021-64001234", "共 2 位联系人"}},
    {"frCustomerOperate", 1,
     {"客户业务（合同）", "客户：KH001 王府花园物业", "HT001", "住家保姆服务", "住家服务", "2025-10-1", "2026-9-30", "张伟",
      "收款", "人民币", "6,000.00", "6,000.00", "小计（1 项）", "6,000.00", "客户：KH002 陈家", "HT002", "1,500.00",
      "合计", "7,500.00", "共 2 项业务"}},
    {"frCustomerState", 1,
     {"客户接触记录", "客户：KH001 王府花园物业", "2025-12-1", "10:00:00", "电话联系", "刘芳", "续签保洁合同", "120.50",
      "客户：KH002 陈家", "登门拜访", "陈明", "80.00", "合计", "200.50", "共 2 次接触"}},
    {"frCustomerOther", 1,
     {"客户其他资料", "KH001", "王府花园物业", "工商银行", "6222020200112233", "王府花园物业管理有限公司", "91110105MA01"}},
    {"frLinkmans", 1,
     {"联系人资料列表", "L1", "刘芳", "王府花园物业", "经理", "13900001111", "liufang@wf.cn", "陈明", "陈家",
      "共 2 位联系人"}},
    {"frLinkmansDetail", 2,
     {"联系人资料", "王府花园物业", "刘芳", "是", "经理", "13900001111", "liufang@wf.cn", "园艺", "1980-5-20",
      "朝阳区北苑家园3号楼", "第 1 页  共 2 页", "联系人资料", "陈家", "陈明", "否", "021-64001234"}},
    {"frOperates", 1,
     {"业务（合同）资料列表", "HT001", "住家保姆服务", "王府花园物业", "住家服务", "2025-10-1", "张伟", "收款", "6,000.00",
      "HT002", "钟点工介绍费", "陈家", "付款", "1,500.00", "合计", "7,500.00", "共 2 项业务"}},
    {"frOperateDetail", 1,
     {"业务子项", "业务编码：HT001", "1", "2025-10-1", "首期款", "收款", "2,000.00", "2", "十月服务费", "1,500.00",
      "小计（2 项）", "3,500.00", "业务编码：HT002", "介绍费", "付款", "500.00", "合计", "4,000.00", "共 3 项子项"}},
    {"frOperateDetail1", 2,
     {"业务（合同）资料", "HT001", "住家保姆服务", "王府花园物业", "刘芳", "住家服务", "张伟", "2025-10-1", "2026-9-30",
      "收款", "人民币", "6,000.00", "1,500.00", "25.00%", "每月初结算", "业务（合同）资料", "HT002", "钟点工介绍费",
      "陈家", "付款", "1,500.00"}},
    {"frOperaters", 1, {"工作人员资料列表", "CZ01", "张伟", "男", "13800002222", "共 1 位工作人员"}},
    {"frOperaterDetail", 1, {"工作人员详细资料", "CZ01", "张伟", "男", "13800002222"}},
    {"frPlan", 1,
     {"日程安排", "2026-1-15", "09:30:00", "王府花园物业", "刘芳", "朝阳区安立路8号", "张伟", "HT001", "面试育婴师",
      "2026-1-20", "14:00:00", "陈家", "陈明", "李娜", "回访", "共 2 项日程"}},
    {"frPlanDetail", 2,
     {"日程安排", "KH001", "2026-1-15", "09:30:00", "王府花园物业", "刘芳", "HT001", "张伟", "朝阳区安立路8号",
      "面试育婴师", "第 1 页  共 2 页", "日程安排", "KH002", "2026-1-20", "陈家", "陈明", "回访"}},
    {"frGathering", 1,
     {"应收账款", "已收账款", "未收账款", "HT001", "住家保姆服务", "KH001", "王府花园物业", "2025-10-1", "RMB",
      "6,000.00", "6,000.00", "2026-9-30", "3,500.00", "2,500.00", "合计", "6,000.00", "3,500.00", "2,500.00",
      "共 1 项业务"}},
    {"frPayment", 1,
     {"应付账款", "已付账款", "未付账款", "HT002", "钟点工介绍费", "KH002", "陈家", "2025-11-2", "RMB", "1,500.00",
      "1,500.00", "2026-1-31", "500.00", "1,000.00", "合计", "1,500.00", "500.00", "1,000.00", "共 1 项业务"}},
};

TEST_P(AllTemplatesTest, EveryShippedTemplateFillsFromItsDatasetInFull)
{
    // A template shipped without a case here, or a case without a
    // template, is a fault of its own.
    QSet<QString> shipped, covered, sourced;
    for (QString f : QDir(kShipped).entryList({"*.frf"}))
        shipped << f.chopped(4);
    for (const TemplateCase &c : kEveryTemplate)
        covered << c.name;
    for (const ReportSources::Source &s : ReportSources::all())
        sourced << s.templateName;
    EXPECT_EQ(shipped, covered);
    EXPECT_EQ(sourced, covered);

    TdmMain dm;
    ASSERT_EQ(dm.connectTo(t->openAnother()), "");
    for (const TemplateCase &c : kEveryTemplate) {
        SCOPED_TRACE(c.name);
        QString error;
        Dataset *data = ReportSources::openInFull(dm, c.name, &error);
        ASSERT_NE(data, nullptr) << error.toStdString();
        PreparedReport r;
        ASSERT_TRUE(prepareReport(data, c.name, &r, &error)) << error.toStdString();
        EXPECT_TRUE(r.warnings.isEmpty()) << r.warnings.join(", ").toStdString();
        const PdfText pdf = pdfText(r);
        EXPECT_EQ(pdf.pageCount, c.pages);
        EXPECT_TRUE(inOrder(pdf.all(), c.texts)) << pdf.all().toStdString();
    }
}

// In the windows a per-customer set holds the current customer's rows only;
// its template then prints that one customer.
TEST_P(AllTemplatesTest, PerCustomerTemplateFollowsTheCurrentCustomer)
{
    TdmMain dm;
    ASSERT_EQ(dm.connectTo(t->openAnother()), "");
    Dataset *customers = dm.dataset("tblCustomers");
    ASSERT_TRUE(customers->open());
    ASSERT_TRUE(dm.dataset("tblUserInfo")->open());
    ASSERT_TRUE(customers->locate("CustId", "KH002"));
    Dataset *contacts = dm.dataset("tblLinkmans");
    ASSERT_TRUE(contacts->open());
    PreparedReport r;
    QString error;
    ASSERT_TRUE(prepareReport(contacts, "frCustomerLinkman", &r, &error)) << error.toStdString();
    const QString text = pdfText(r).all();
    EXPECT_TRUE(inOrder(text, {"客户：KH002 陈家", "陈明", "共 1 位联系人"})) << text.toStdString();
    EXPECT_EQ(occurrences(text, "刘芳"), 0);
}

// brevia-admin report, run as a nightly job would: no display, the
// database of Server.txt or of --db.
class ReportCommandTest : public AllTemplatesTest
{
protected:
    struct Run {
        int code = -1;
        QString out, err;
    };
    // limitKb > 0: the program runs with files limited to that size, as on
    // a disk that fills up while it writes.
    Run admin(const QStringList &args, int limitKb = 0)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        env.insert("BREVIA_HOME", home.dir.path());
        p.setProcessEnvironment(env);
        p.setWorkingDirectory(t->dir());
        if (limitKb > 0)
            p.start("/bin/sh", QStringList{"-c", QString("trap '' XFSZ; ulimit -f %1; exec \"$0\" \"$@\"").arg(limitKb * 2),
                                           QStringLiteral(BREVIA_ADMIN)}
                                   + args);
        else
            p.start(QStringLiteral(BREVIA_ADMIN), args);
        Run r;
        if (!p.waitForFinished(120000))
            return r;
        r.code = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
        r.out = QString::fromUtf8(p.readAllStandardOutput());
        r.err = QString::fromUtf8(p.readAllStandardError());
        return r;
    }
};

TEST_P(ReportCommandTest, PrintsEveryRowWithoutADisplay)
{
    struct Case {
        QStringList args;
        const char *pdf;
        int pages;
        QStringList texts;
    };
    const Case cases[] = {
        // Every customer's contacts, not the first customer's only.
        {{"report", "frCustomerLinkman", "--pdf", "contacts.pdf", "--db", t->location()}, "contacts.pdf", 1,
         {"客户：KH001 王府花园物业", "刘芳", "客户：KH002 陈家", "陈明", "共 2 位联系人"}},
        // One card per record.
        {{"report", "frOperateDetail1.frf", "--pdf", "cards.pdf", "--db", t->location()}, "cards.pdf", 2,
         {"HT001", "住家保姆服务", "HT002", "钟点工介绍费"}},
        // The receivables summary made from the contracts and their lines.
        {{"report", "frGathering", "--pdf", "gathering.pdf", "--db", t->location()}, "gathering.pdf", 1,
         {"HT001", "3,500.00", "2,500.00"}},
        // Without --db: the database that Server.txt names.
        {{"report", "frCustomers", "--pdf", "customers.pdf"}, "customers.pdf", 1,
         {"安心家政服务公司", "KH001", "KH002", "共 2 位客户"}},
    };
    ASSERT_TRUE(home.write("Server.txt", t->location().toUtf8() + "\n"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.pdf);
        const Run r = admin(c.args);
        ASSERT_EQ(r.code, 0) << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << r.err.toStdString();
        const PdfText pdf = pdfFileText(QDir(t->dir()).filePath(c.pdf));
        EXPECT_EQ(pdf.pageCount, c.pages);
        EXPECT_TRUE(inOrder(pdf.all(), c.texts)) << pdf.all().toStdString();
    }
}

TEST_P(ReportCommandTest, RefusesWhatItCannotPrint)
{
    // The agency's own copy wins over the shipped one, also when it is broken.
    ASSERT_TRUE(home.write("Data/Report/frPlan.frf", "<report version=\"1\">\n<band type=\"detial\"/>\n</report>"));
    struct Case {
        QStringList args;
        int code;
        const char *says;
    };
    const Case cases[] = {
        {{"report", "frPlan", "--pdf", "x.pdf", "--db", t->location()}, 1, "未知的区域类型：detial"},
        {{"report", "frNoSuch", "--pdf", "x.pdf", "--db", t->location()}, 1, "未知的报表模板：frNoSuch"},
        {{"report", "frCustomers", "--db", t->location()}, 2, "用法"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.says);
        const Run r = admin(c.args);
        EXPECT_EQ(r.code, c.code);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.says))) << r.err.toStdString();
    }
    EXPECT_FALSE(QFile::exists(QDir(t->dir()).filePath("x.pdf")));
}

TEST_P(ReportCommandTest, WritesAWholePdfOrSaysWhyNot)
{
    const QString dir = t->dir();
    auto pdfAt = [&](const QString &name) { return QDir(dir).filePath(name); };
    // The catalogue's spelling whatever the letter case typed.
    Run r = admin({"report", "FRCUSTOMERS", "--pdf", "old.pdf", "--db", t->location()});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_TRUE(inOrder(pdfFileText(pdfAt("old.pdf")).all(), {"KH001", "KH002"}));
    QFile old(pdfAt("old.pdf"));
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    const QByteArray oldBytes = old.readAll();
    old.close();

    // A disk that fills up halfway: the old PDF stays whole, and no
    // temporary file is left beside it.
    const QStringList before = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    r = admin({"report", "frCustomers", "--pdf", "old.pdf", "--db", t->location()}, 8);
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.startsWith("对不起，无法写入文件：" + pdfAt("old.pdf") + "\n")) << r.err.toStdString();
    EXPECT_FALSE(r.out.contains("已生成报表")) << r.out.toStdString();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), oldBytes);
    old.close();
    EXPECT_EQ(QDir(dir).entryList(QDir::Files | QDir::Hidden), before);

    // A device or the open database itself is no target.
    QStringList refused{"/dev/full"};
    if (GetParam() == Engine::SQLite) {
        const QString db = t->location();
        refused << db << db + "-wal" << db + "-shm" << db + "-journal";
        ASSERT_TRUE(QFile::link(db, pdfAt("link.pdf")));
        refused << pdfAt("link.pdf");
    }
    for (const QString &target : refused) {
        SCOPED_TRACE(target.toStdString());
        r = admin({"report", "frCustomers", "--pdf", target, "--db", t->location()});
        EXPECT_EQ(r.code, 1);
        EXPECT_TRUE(r.err.startsWith("对不起，无法写入文件：" + target + "\n")) << r.err.toStdString();
    }
    // The agency's data is all there.
    QSqlQuery q(t->db().sql());
    ASSERT_TRUE(q.exec("SELECT count(*) FROM tblCustomers"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 2);
    if (GetParam() == Engine::SQLite) {
        EXPECT_TRUE(QFileInfo(pdfAt("link.pdf")).isSymLink());
    }
}

// --- captions --------------------------------------------------------------

// A caption as the windows write it, without the padding between its
// characters and without its colon: "国　　籍：" is 国籍.
QString bareCaption(QString text)
{
    text.remove(QLatin1Char(' '));
    text.remove(QChar(0x3000));
    while (text.endsWith(QChar(0xFF1A)) || text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text;
}

bool onlyLiteral(const ReportItem &it)
{
    return it.kind == ReportItem::Kind::Text && !it.parts.isEmpty()
        && std::all_of(it.parts.begin(), it.parts.end(),
                       [](const TextPart &p) { return p.kind == TextPart::Kind::Literal; });
}

QString fieldOf(const ReportItem &it)
{
    return it.kind == ReportItem::Kind::Text && it.parts.size() == 1 && it.parts[0].kind == TextPart::Kind::Field
        ? it.parts[0].text.toLower()
        : QString();
}

bool near(double a, double b) { return std::abs(a - b) < 0.01; }

// The caption each field is printed under: the column header above it in a
// list, the label to its left on a card, or the text with a colon before
// it in a line such as "客户：[CustID]". Keys are field names in lower
// case, other sets' fields as "tbluserinfo.address".
QMultiHash<QString, QString> captionsOf(const ReportTemplate &t)
{
    QMultiHash<QString, QString> out;
    auto inText = [&out](const QVector<ReportItem> &items) {
        for (const ReportItem &it : items)
            for (int i = 1; i < it.parts.size(); ++i) {
                const TextPart &before = it.parts[i - 1], &p = it.parts[i];
                const bool field = p.kind == TextPart::Kind::Field || p.kind == TextPart::Kind::OtherField;
                if (field && before.kind == TextPart::Kind::Literal
                    && (before.text.endsWith(QChar(0xFF1A)) || before.text.endsWith(QLatin1Char(':'))))
                    out.insert((p.kind == TextPart::Kind::OtherField ? p.dataset + QLatin1Char('.') : QString())
                                   .toLower() + p.text.toLower(),
                               bareCaption(before.text.section(QRegularExpression(QStringLiteral("\\s{2,}")), -1)));
            }
    };
    const ReportBand *header = t.band(ReportBand::Type::ColumnHeader);
    for (const ReportBand &b : t.bands) {
        inText(b.items);
        for (const ReportItem &f : b.items) {
            const QString field = fieldOf(f);
            if (field.isEmpty())
                continue;
            if (header && b.type == ReportBand::Type::Detail) {
                for (const ReportItem &h : header->items)
                    if (onlyLiteral(h) && near(h.rect.x(), f.rect.x()))
                        out.insert(field, bareCaption(h.parts[0].text));
            }
            for (const ReportItem &l : b.items)
                if (onlyLiteral(l) && near(l.rect.y(), f.rect.y()) && near(l.rect.right(), f.rect.x()))
                    out.insert(field, bareCaption(l.parts[0].text));
        }
    }
    inText(t.labels.items);
    return out;
}

// The captions the windows give each field, per family of templates over
// the same rows. A field may go by more than one: the contract's customer
// is "相关客户" on its form and "客户名称" in the list.
using Captions = QHash<QString, QStringList>; // lower-case field -> captions

const Captions kCustomerCaptions{
    {"cno", {"自动编号"}},       {"custid", {"客户代码"}},         {"custname", {"客户名称"}},
    {"mainlinkman", {"主要联系人", "主联系人"}},                     {"address", {"地址", "详细地址"}},
    {"vocationname", {"客户类型"}}, {"levelname", {"客户级别"}},     {"originname", {"客户来源"}},
    {"operater", {"工作人员"}},   {"countryname", {"国籍"}},         {"distname", {"所在区"}},
    {"telephone", {"电话", "联系电话"}},                              {"fax", {"传真"}},
    {"maintelephone", {"手机"}},  {"email", {"Email", "Email邮箱"}}, {"postcode", {"邮编", "邮政编码"}},
    {"homepage", {"主要成员"}},   {"state", {"客户状态"}},           {"createdate", {"建档日期"}},
    {"city", {"受聘人数"}},       {"memo", {"备注"}},
};
// The customer a per-customer list is printed for.
const Captions kOfCustomer{{"custid", {"客户", "客户代码"}}, {"custname", {"客户", "客户名称"}}};
const Captions kContactCaptions{
    {"linkmanid", {"联系人代码"}}, {"name", {"姓名", "联系人姓名"}}, {"nickname", {"称呼"}},
    {"department", {"部门", "工作单位"}}, {"duty", {"职务"}},        {"telephone", {"电话", "联系电话"}},
    {"fax", {"传真"}},             {"mobile", {"手机", "移动电话"}}, {"email", {"电子邮件", "Email", "Email邮箱"}},
    {"main", {"是否主要联系人"}},  {"custname", {"客户名称"}},       {"homeaddress", {"家庭地址", "详细地址"}},
    {"homepage", {"主页"}},        {"enjoy", {"兴趣爱好"}},          {"specialdate", {"特殊纪念日"}},
    {"memo", {"备注"}},
};
const Captions kContractCaptions{
    {"operateid", {"业务编码", "业务代码"}}, {"operatetitle", {"业务标题"}},  {"custname", {"相关客户", "客户名称"}},
    {"linkcustname", {"联系客户"}},          {"createdate", {"建档时间", "建档日期"}},
    {"linkmanname", {"联系人"}},             {"originname", {"业务来源"}},    {"typename", {"业务类型"}},
    {"inorout", {"收付类型", "收支类型"}},   {"operatername", {"业务员", "工作人员"}},
    {"writedate", {"签约日期"}},             {"enddate", {"截止日期"}},       {"compactamount", {"合同金额"}},
    {"currname", {"币别名称", "币别"}},      {"rmb", {"折人民币"}},           {"profit", {"预计利润"}},
    {"rate", {"利润率"}},                    {"operatestatename", {"业务状态"}}, {"filepath", {"备注"}},
};
const Captions kMoneyLineCaptions{
    {"operateid", {"业务编码"}}, {"detailno", {"子项编号", "业务详细编号"}}, {"operatedate", {"发生日期"}},
    {"dtitle", {"子项主题", "主题"}}, {"inout", {"收支描述", "收支类型"}},   {"currid", {"币别"}},
    {"price", {"单价"}},         {"amount", {"数量"}},                      {"dtotal", {"总计"}},
    {"rmb", {"折人民币"}},       {"memo", {"描述"}},
};
Captions accountCaptions(bool payables)
{
    return {{"operateid", {"业务编码"}}, {"operatetitle", {"业务标题"}}, {"custid", {"客户代码"}},
            {"custname", {"客户名称"}},  {"writedate", {"签约日期"}},    {"currid", {"币别"}},
            {"compactamount", {"合同金额"}}, {"rmb", {"折人民币"}},      {"enddate", {"截止日期"}},
            {"sumrmb", {payables ? "已付账款" : "已收账款"}},
            {payables ? "payment" : "gathering", {payables ? "未付账款" : "未收账款"}}};
}
const Captions kStaffCaptions{
    {"operaterid", {"工作人员代码", "业务员代码"}}, {"name", {"姓名"}},        {"nickname", {"称呼"}},
    {"sex", {"性别"}},             {"department", {"部门"}},     {"duty", {"职务"}},         {"education", {"学历"}},
    {"birth", {"出生年月"}},       {"id", {"身份证号"}},         {"native", {"籍贯"}},       {"ctelephone", {"公司电话"}},
    {"fax", {"传真"}},             {"htelephone", {"家庭电话"}}, {"mobile", {"移动电话"}},   {"address", {"住址"}},
    {"email", {"Email邮箱"}},      {"homepage", {"主页"}},       {"memo", {"备注"}},         {"intime", {"入职时间"}},
    {"state", {"在职状态"}},       {"outtime", {"离职时间"}},    {"outreason", {"离职原因"}},
};
const Captions kWorkerCaptions{
    {"yuangongid", {"员工编号"}}, {"name", {"姓名"}},           {"nickname", {"称呼"}},       {"sex", {"性别"}},
    {"department", {"部门"}},     {"gongzhongname", {"工种"}},  {"health", {"健康状况"}},     {"duty", {"职务"}},
    {"native", {"籍贯"}},         {"education", {"学历"}},      {"birth", {"出生年月"}},      {"id", {"身份证号"}},
    {"tjms", {"体检情况"}},       {"school", {"毕业学校"}},     {"address", {"家庭住址"}},    {"shusongname", {"输送单位"}},
    {"levelname", {"技能级别"}},  {"custname", {"受聘客户"}},   {"email", {"Email邮箱"}},     {"memo", {"备注"}},
    {"intime", {"入职时间"}},     {"state", {"在职状态"}},      {"outtime", {"离职时间"}},    {"outreason", {"离职原因"}},
    {"mobile", {"移动电话"}},
};
const Captions kUnitCaptions{
    {"shusongid", {"单位编号"}}, {"shusongname", {"单位名称"}}, {"manager", {"负责人"}},   {"duty", {"职务"}},
    {"id", {"身份证号码", "身份证号"}}, {"telephone", {"电话"}}, {"fax", {"传真"}},      {"mobile", {"手机"}},
    {"email", {"Email"}},        {"homepage", {"主页"}},       {"memo", {"备注"}},
};
const Captions kSettlementCaptions{
    {"sno", {"编号", "子项编号"}}, {"jdate", {"结算日期"}},   {"jingban", {"经办人"}},
    {"jieshao", {"介绍费"}},       {"qita", {"其他费用"}},    {"begindate", {"合同开始日期", "开始日期"}},
    {"enddate", {"截止日期"}},     {"memo", {"备注"}},        {"shusongid", {"输送单位", "单位编号"}},
    {"shusongname", {"输送单位", "单位名称"}},
};
const Captions kPlanCaptions{
    {"planid", {"序号"}},       {"plandate", {"日期"}},   {"plantime", {"时间"}},   {"address", {"地址", "地点"}},
    {"custname", {"客户"}},     {"custid", {"客户代码"}}, {"linkman", {"联系人"}},
    {"operateid", {"业务内容", "业务项", "业务项目"}},    {"attendman", {"参加人员"}}, {"memo", {"备注"}},
};
// The agency as its own window names its details; on an envelope its name
// is the sender.
const Captions kAgencyCaptions{
    {"tbluserinfo.username", {"寄件人", "用户名称"}}, {"tbluserinfo.address", {"地址"}},
    {"tbluserinfo.telephone", {"电话"}},              {"tbluserinfo.fax", {"传真"}},
    {"tbluserinfo.postcode", {"邮政编码"}},           {"tbluserinfo.email", {"联系EMail"}},
    {"tbluserinfo.homepage", {"网址"}},
};

Captions merged(std::initializer_list<Captions> parts)
{
    Captions all = kAgencyCaptions;
    for (const Captions &c : parts)
        for (auto it = c.begin(); it != c.end(); ++it)
            all[it.key()] += it.value();
    return all;
}

// True when a fixed text is printed whole in its box: one line without the
// ellipsis of a cut, or a wrapped text within its height.
bool printsWhole(const ReportItem &it)
{
    constexpr double dpi = 300;
    QImage page(8, 8, QImage::Format_ARGB32);
    page.setDotsPerMeterX(qRound(dpi / 0.0254));
    page.setDotsPerMeterY(qRound(dpi / 0.0254));
    const QFontMetricsF fm(ReportRenderer::font(it.font), &page);
    const double perMm = dpi / 25.4;
    const double pad = it.borders.isEmpty() ? 0 : 0.8; // as the renderer leaves
    const QRectF box(0, 0, (it.rect.width() - 2 * pad) * perMm, it.rect.height() * perMm);
    QString text;
    for (const TextPart &p : it.parts)
        text += p.text;
    if (it.wrap)
        return fm.boundingRect(box, Qt::TextWordWrap, text).height() <= box.height() + 0.5;
    return fm.horizontalAdvance(text) <= box.width();
}

TEST(ShippedTemplateCaptions, EachFieldGoesByItsWindowsCaptionAndEveryCaptionPrintsWhole)
{
    const QHash<QString, Captions> families{
        {"frCustomers", merged({kCustomerCaptions})},
        {"frCustomerDetail", merged({kCustomerCaptions})},
        {"frCustomerLinkman", merged({kContactCaptions, kOfCustomer})},
        {"frCustomerOperate", merged({kContractCaptions, kOfCustomer})},
        {"frCustomerYuangong", merged({kWorkerCaptions, kOfCustomer})},
        {"frCustomerState",
         merged({kOfCustomer,
                 {{"linkdate", {"联系日期"}}, {"linktime", {"联系时间"}}, {"linktype", {"联系方式"}},
                  {"linkman", {"联系人"}}, {"duty", {"职务"}}, {"linkcontent", {"联系内容"}},
                  {"charge", {"费用开销"}}, {"address", {"地点"}}, {"memo", {"备注"}}}})},
        {"frCustomerOther",
         merged({kOfCustomer,
                 {{"organname", {"开户银行"}}, {"account", {"银行账号"}}, {"bankaddress", {"开户行地址"}},
                  {"vataxname", {"增值税户名"}}, {"vataxid", {"增值税税号"}}, {"vataxbank", {"增值税开户银行"}},
                  {"vataxaccount", {"增值税银行账号"}}, {"vataxaddress", {"增值税地址"}}, {"vataxphone", {"电话"}}}})},
        {"frLinkmans", merged({kContactCaptions})},
        {"frLinkmansDetail", merged({kContactCaptions})},
        {"frOperates", merged({kContractCaptions})},
        {"frOperateDetail", merged({kMoneyLineCaptions})},
        {"frOperateDetail1", merged({kContractCaptions})},
        {"frOperaters", merged({kStaffCaptions})},
        {"frOperaterDetail", merged({kStaffCaptions})},
        {"frYuangong", merged({kWorkerCaptions})},
        {"frShusong", merged({kUnitCaptions})},
        {"frShusongYJ", merged({kSettlementCaptions})},
        {"frPlan", merged({kPlanCaptions})},
        {"frPlanDetail", merged({kPlanCaptions})},
        {"frGathering", merged({accountCaptions(false)})},
        {"frPayment", merged({accountCaptions(true)})},
        {"frEnvelop", merged({})},
        {"frEnvelop6", merged({})},
    };
    const QStringList shipped = QDir(kShipped).entryList({"*.frf"});
    ASSERT_FALSE(shipped.isEmpty());
    for (const QString &file : shipped) {
        const QString name = file.chopped(4);
        SCOPED_TRACE(name.toStdString());
        ASSERT_TRUE(families.contains(name));
        ReportTemplate t;
        QString error;
        ASSERT_TRUE(t.load(kShipped + "/" + file, &error)) << error.toStdString();
        const Captions &allowed = families[name];
        const QMultiHash<QString, QString> captions = captionsOf(t);
        for (auto it = captions.begin(); it != captions.end(); ++it)
            EXPECT_TRUE(allowed.value(it.key()).contains(it.value()))
                << it.key().toStdString() << " is captioned " << it.value().toStdString();

        QVector<const QVector<ReportItem> *> groups{&t.labels.items};
        for (const ReportBand &b : t.bands)
            groups << &b.items;
        for (const QVector<ReportItem> *items : groups)
            for (const ReportItem &it : *items)
                if (onlyLiteral(it)) {
                    EXPECT_TRUE(printsWhole(it)) << it.parts[0].text.toStdString() << " is cut";
                }
    }
}

INSTANTIATE_TEST_SUITE_P(Engines, AllTemplatesTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });
INSTANTIATE_TEST_SUITE_P(Engines, ReportCommandTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
