// The print call and the preview window: a template missing or broken is
// reported, a good one opens the maximised modal preview.
#include "reporttestkit.h"

#include "data/database.h"
#include "data/dataset.h"
#include "printing/printreport.h"
#include "printing/reportpageview.h"
#include "printing/tfrmreport.h"
#include "testlib/apphome.h"
#include "testlib/fakeprompts.h"
#include "testlib/tempdatabase.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>

namespace {

const QByteArray kTemplate = R"X(<report version="1" title="联系人">
  <band type="title" height="15"><text w="180" h="10" size="16">联系人名单</text></band>
  <band type="detail" height="8"><field w="60" h="8" name="Name"/></band>
  <band type="pageFooter" height="8"><pageNumber w="180" h="6"/></band>
</report>)X";

class PreviewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(home.path("Data/Report")));
        t = std::make_unique<TempDatabase>(Engine::SQLite);
        QStringList rows;
        for (int i = 1; i <= 80; ++i)
            rows << QString("select '王%1' as Name").arg(i);
        names = std::make_unique<Dataset>(&t->db(), "names", rows.join(" union all "));
        ASSERT_TRUE(names->open());
    }

    AppHome home;
    FakePrompts prompts;
    std::unique_ptr<TempDatabase> t;
    std::unique_ptr<Dataset> names;
};

TEST_F(PreviewTest, AMissingOrBrokenTemplateIsReportedAndNothingIsShown)
{
    const QString missing = QDir::toNativeSeparators(home.path("Data/Report/frNothing.frf"));
    EXPECT_FALSE(printReport(names.get(), "frNothing"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, "warn");
    EXPECT_EQ(prompts.last(), "对不起，报表模板文件不存在或无法读取：" + missing);

    // A template an agency has edited wrongly says where, below the path.
    ASSERT_TRUE(home.write("Data/Report/frBroken.frf", "<report version=\"1\">\n<band type=\"detial\"/>\n</report>"));
    prompts.clear();
    EXPECT_FALSE(printReport(names.get(), "frBroken.frf"));
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.last(), "对不起，报表模板文件不存在或无法读取：" + QDir::toNativeSeparators(home.path("Data/Report/frBroken.frf"))
                                  + "\n第 2 行：未知的区域类型：detial");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(PreviewTest, ATemplateBeyondTheBoundsIsRefusedByNameWithinSeconds)
{
    // 700,000 characters a row over 80 rows: more than one run may make.
    const QByteArray many = "<report version='1'><band type='detail' height='8'><text w='60' h='8'>"
        + QByteArray(700000, 'x') + "</text></band></report>";
    // A template of megabytes is not even read through.
    const QByteArray huge = "<report version='1'><band type='detail' height='8'>"
        + QByteArray("<field w='60' h='8' name='Name'/>").repeated(100000) + "</band></report>";
    struct Case {
        const char *file;
        QByteArray xml;
        QString says;
    };
    const Case cases[] = {
        {"frMany.frf", many, "对不起，报表过大，无法生成：" + QDir::toNativeSeparators(home.path("Data/Report/frMany.frf"))
                                 + "\n报表的文字超过 50000000 个字符"},
        {"frHuge.frf", huge, "对不起，报表模板文件不存在或无法读取：" + QDir::toNativeSeparators(home.path("Data/Report/frHuge.frf"))
                                 + "\n模板文件超过 1024 KB"},
    };
    for (const Case &c : cases) {
        ASSERT_TRUE(home.write(QString("Data/Report/") + c.file, c.xml));
        prompts.clear();
        QElapsedTimer timer;
        timer.start();
        EXPECT_FALSE(printReport(names.get(), c.file));
        EXPECT_LT(timer.elapsed(), 10000) << c.file;
        ASSERT_EQ(prompts.shown.size(), 1) << c.file;
        EXPECT_EQ(prompts.shown[0].kind, "warn");
        EXPECT_EQ(prompts.last(), c.says);
        EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    }
}

TEST_F(PreviewTest, APrintShowsTheMaximisedModalPreview)
{
    ASSERT_TRUE(home.write("Data/Report/frNames.frf", kTemplate));
    QString title, zoomItems, current;
    bool maximised = false, modal = false;
    int pages = 0;
    QTimer poll; // the preview is modal: look at it from inside its loop
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        TfrmReport *form = nullptr;
        for (QWidget *w : QApplication::topLevelWidgets())
            if (auto *f = qobject_cast<TfrmReport *>(w); f && f->isVisible())
                form = f;
        if (!form)
            return;
        poll.stop();
        modal = form->isModal() && QApplication::activeModalWidget() == form;
        title = form->windowTitle();
        maximised = form->isMaximized();
        for (int i = 0; i < form->zoomBox()->count(); ++i)
            zoomItems += form->zoomBox()->itemText(i) + " ";
        current = form->zoomBox()->currentText();
        pages = int(form->report().pages.size());
        form->reject();
    });
    poll.start();
    EXPECT_TRUE(printReport(names.get(), "frNames"));
    EXPECT_EQ(title, "报表预览");
    EXPECT_TRUE(maximised);
    EXPECT_TRUE(modal);
    EXPECT_EQ(zoomItems, "100% 75% 50% 150% 200% ");
    EXPECT_EQ(current, "100%");
    EXPECT_EQ(pages, 3); // 15 + 80 * 8 mm over pages of 267 - 8 mm
    EXPECT_TRUE(prompts.shown.isEmpty());
}

TEST_F(PreviewTest, TheBarZoomsExportsAndOpensHelp)
{
    ASSERT_TRUE(home.write("Data/Report/frNames.frf", kTemplate));
    PreparedReport r;
    QString error;
    ASSERT_TRUE(prepareReport(names.get(), "frNames", &r, &error)) << error.toStdString();
    TfrmReport form(r);
    form.resize(1000, 700);
    form.show();
    QStringList buttons;
    for (auto *b : form.findChildren<QPushButton *>())
        buttons << b->text();
    EXPECT_EQ(buttons, QStringList({"打印", "导出PDF", "帮助", "关闭"}));
    bool zoomLabel = false;
    for (auto *l : form.findChildren<QLabel *>())
        zoomLabel = zoomLabel || l->text() == "显示比例：";
    EXPECT_TRUE(zoomLabel);
    EXPECT_EQ(form.scrollArea()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form.scrollArea()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);

    ReportPageView *view = form.pageView();
    const int width100 = view->pageRect(0).width();
    form.zoomBox()->setCurrentText("200%");
    EXPECT_NEAR(view->pageRect(0).width(), 2 * width100, 2);
    form.zoomBox()->setCurrentText("50%");
    EXPECT_NEAR(view->pageRect(0).width(), width100 / 2, 2);
    EXPECT_EQ(view->height(), view->sizeHint().height());
    // Only the pages in sight are drawn.
    form.zoomBox()->setCurrentText("100%");
    QPixmap top(view->width(), 100);
    view->render(&top, QPoint(), QRegion(0, 0, view->width(), 100));
    EXPECT_EQ(view->paintedPages(), 1);

    prompts.fileNames << home.path("名单"); // the suffix is added
    form.BtnPdfClick();
    EXPECT_EQ(prompts.last(), "导出PDF成功！");
    EXPECT_TRUE(QFileInfo::exists(home.path("名单.pdf")));

    prompts.fileNames << ""; // cancelled
    prompts.clear();
    form.BtnPdfClick();
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, "save");

    prompts.fileNames << home.path("no/such/folder/x.pdf");
    prompts.clear();
    form.BtnPdfClick();
    EXPECT_TRUE(prompts.last().startsWith("对不起，无法写入文件：" + QDir::toNativeSeparators(home.path("no/such/folder/x.pdf"))
                                          + "\n"))
        << prompts.last().toStdString();

    // The application directory holds no help file: the shipped manual opens.
    prompts.clear();
    form.BtnHelpClick();
    EXPECT_TRUE(prompts.shown.isEmpty()) << prompts.last().toStdString();
}

} // namespace
