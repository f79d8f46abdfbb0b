// The envelope labels: the window's contact list, the choice of template,
// and the labels as they come out of the report engine into a PDF.
#include "mail/mailfixture.h"
#include "mail/tfrmenvelop.h"
#include "mail/tfrmenvelopset.h"

#include "contacts/tfrmlinkmanquery.h"
#include "data/recordscope.h"
#include "printing/printreport.h"
#include "printing/reportrenderer.h"
#include "printing/reporttestkit.h"
#include "ui/datagrid.h"
#include "ui/moduleframe.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>

namespace {

const QString kShipped = QStringLiteral(BREVIA_SOURCE_DIR "/Data/Report");

class EnvelopTest : public MailFixture
{
protected:
    void SetUp() override
    {
        MailFixture::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_TRUE(QDir().mkpath(home.path("Data/Report")));
        for (const char *f : {"frEnvelop.frf", "frEnvelop6.frf"})
            ASSERT_TRUE(QFile::copy(kShipped + "/" + f, home.path(QStringLiteral("Data/Report/") + f)));
        ASSERT_EQ(t->db().insertRow("tblUserInfo", {{"UserName", "阳光家政服务中心"},
                                                    {"Address", "北京市朝阳区建国路88号"},
                                                    {"Telephone", "010-65001234"},
                                                    {"PostCode", "100022"},
                                                    {"Email", "office@example.cn"}}),
                  "");
        // Printing writes the labels to a PDF and reads its text back.
        ModuleFrame::setPrinter([this](Dataset *data, const QString &name, QWidget *) {
            printed << name;
            PreparedReport r;
            QString error;
            if (!prepareReport(data, name, &r, &error, dataModuleResolver())) {
                ADD_FAILURE() << error.toStdString();
                return false;
            }
            const QString pdf = home.path(name + ".pdf");
            EXPECT_TRUE(ReportRenderer::writePdf(r, pdf, &error)) << error.toStdString();
            text = pdfFileText(pdf);
            return true;
        });
    }
    void TearDown() override
    {
        ModuleFrame::setPrinter({});
        MailFixture::TearDown();
    }
    QString preview(bool withSender)
    {
        TfrmEnvelopSet set(TfrmLinkmanQuery::contacts());
        EXPECT_FALSE(set.printSender()->isChecked()) << "unticked at the start";
        set.printSender()->setChecked(withSender);
        set.BtnPreviewClick();
        return printed.isEmpty() ? QString() : printed.last();
    }

    QStringList printed;
    PdfText text;
};

TEST_P(EnvelopTest, LabelsPrintWithAndWithoutTheSenderBlock)
{
    ASSERT_TRUE(TfrmEnvelop::prepareContacts());
    for (const bool withSender : {false, true}) {
        SCOPED_TRACE(withSender);
        EXPECT_EQ(preview(withSender), withSender ? "frEnvelop6" : "frEnvelop");
        ASSERT_TRUE(text.error.isEmpty()) << text.error.toStdString();
        const QString all = fold(text.all());
        // One label per contact, each with its customer's post code and address.
        EXPECT_EQ(occurrences(all, "收"), kWithAddress + 2);
        EXPECT_EQ(occurrences(all, "联系人17经理"), 1);
        EXPECT_EQ(occurrences(all, "100082"), (kWithAddress + 2) / 5 + 1);
        EXPECT_TRUE(all.contains(fold("北京市海淀区中关村大街3号")));
        EXPECT_EQ(occurrences(all, "阳光家政服务中心"), withSender ? kWithAddress + 2 : 0);
        EXPECT_EQ(occurrences(all, "010-65001234"), withSender ? kWithAddress + 2 : 0);
        EXPECT_EQ(text.pageCount, withSender ? 9 : 7); // 6 and 8 labels a sheet
    }
}

TEST_P(EnvelopTest, AnOrdinaryUsersLabelsCarryEveryCustomersAddress)
{
    // The customers are the administrator's; li has opened a module that
    // narrowed the customer names to his own (none).
    ASSERT_EQ(t->db().insertRow("tblUser", {{"UserID", "li"}, {"UserName", "li"}, {"Sys", false}}), "");
    Session::current().reset();
    Session::current().logIn("li", false);
    Dataset *own = dm.dataset("tblCustomers2");
    ASSERT_TRUE(refilter(own, ownRecordsCondition(dm.database())));
    ASSERT_EQ(own->rowCount(), 0);
    ASSERT_TRUE(TfrmEnvelop::prepareContacts());
    Dataset *contacts = TfrmLinkmanQuery::contacts();
    ASSERT_TRUE(contacts->locate("LinkmanID", "K02"));
    EXPECT_EQ(contacts->value("CustName").toString(), "客户2家");
    EXPECT_EQ(contacts->value("PostCode").toString(), "100082");
    EXPECT_EQ(contacts->value("Address").toString(), "北京市海淀区中关村大街2号");
    EXPECT_EQ(preview(false), "frEnvelop");
    const QString all = fold(text.all());
    EXPECT_EQ(occurrences(all, "100082"), (kWithAddress + 2) / 5 + 1);
    EXPECT_EQ(occurrences(all, "客户2家"), (kWithAddress + 2) / 5 + 1);
}

TEST_P(EnvelopTest, ASearchNarrowsTheLabelsAndTheNextOpeningListsAll)
{
    ASSERT_TRUE(TfrmEnvelop::prepareContacts());
    TfrmEnvelop w;
    Dataset *contacts = w.contacts();
    ASSERT_TRUE(refilter(contacts, Condition::contains("Name", "联系人1")));
    ASSERT_TRUE(contacts->loadAllRows());
    EXPECT_EQ(contacts->rowCount(), 11); // 1, 10..19
    preview(false);
    EXPECT_EQ(occurrences(fold(text.all()), "收"), 11);
    ASSERT_TRUE(TfrmEnvelop::prepareContacts());
    ASSERT_TRUE(contacts->loadAllRows());
    EXPECT_EQ(contacts->rowCount(), kWithAddress + 2);
}

TEST_P(EnvelopTest, TheWindowsCommandsLogAndOpenTheirDialogs)
{
    ASSERT_TRUE(TfrmEnvelop::prepareContacts());
    TfrmEnvelop w;
    w.show();
    EXPECT_EQ(w.grid()->visibleFields(), QStringList({"CustID", "CustName", "Name", "PostCode", "Address", "Email"}));
    for (const char *name : {"BtnQuery", "BtnUserInfo", "BtnPreview", "BtnClose"})
        EXPECT_NE(w.button(name), nullptr) << name;
    QStringList opened;
    for (const auto &[button, run] : {std::pair{"BtnQuery", &TfrmEnvelop::BtnQueryClick},
                                      std::pair{"BtnUserInfo", &TfrmEnvelop::BtnUserInfoClick},
                                      std::pair{"BtnPreview", &TfrmEnvelop::BtnPreviewClick}}) {
        whenModal([&](QWidget *d) {
            opened << d->objectName();
            d->close();
        });
        (w.*run)();
    }
    EXPECT_EQ(opened, QStringList({"TfrmLinkmanQuery", "TfrmUserInfo", "TfrmEnvelopSet"}));
    EXPECT_EQ(logLines(), QStringList({"工具-信封标签-联系人查询", "工具-信封标签-用户登记信息", "工具-信封标签-预览"}));
    EXPECT_TRUE(printed.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Engines, EnvelopTest, ::testing::ValuesIn(testEngines()),
                         [](const auto &info) { return engineName(info.param); });

} // namespace
