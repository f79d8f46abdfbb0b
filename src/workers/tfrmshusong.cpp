#include "workers/tfrmshusong.h"

#include "data/documentfolders.h"
#include "data/sharedsets.h"
#include "ui/datagrid.h"
#include "ui/links.h"
#include "workers/data/entrychecks.h"
#include "workers/entrywarnings.h"
#include "workers/tfrmshusongquery.h"

#include <QLineEdit>
#include <QPushButton>

ModuleDesc TfrmShusong::description()
{
    ModuleDesc d;
    d.className = QStringLiteral("TfrmShusong");
    d.caption = QStringLiteral("输送单位");
    d.listPage = QStringLiteral("输送单位列表");
    d.detailPage = QStringLiteral("输送单位详细资料");
    d.dataset = Sets::kUnits;
    d.keyField = QStringLiteral("ShusongID");
    d.rightCode = QStringLiteral("603");
    d.logPrefix = QStringLiteral("内部管理-输送单位");
    d.orderBy = {QStringLiteral("ShusongID")};
    d.columns = {{"ShusongID", "单位编号"}, {"ShusongName", "单位名称"}, {"Manager", "负责人"},
                 {"Duty", "职务"},          {"Telephone", "电话"},       {"Fax", "传真"},
                 {"ID", "身份证号码"},      {"Mobile", "手机"},          {"Email", "Email"},
                 {"Homepage", "主页"}};
    using namespace Field;
    d.form = {
        {"ShusongID", "单位编号：", line()},
        {"ShusongName", "单位名称：", line()},
        {"Manager", "负 责 人：", line()},
        {"Duty", "职　　务：", line()},
        {"ID", "身份证号：", line()},
        {"Telephone", "电　　话：", line()},
        {"Fax", "传　　真：", line()},
        {"Mobile", "手　　机：", line()},
        {"Homepage", "主页：", line(), opts().withButton("BtnOpen", "打开...")},
        {"Email", "Email：", line(), opts().withButton("BtnMail", "发送邮件")},
        {"Memo", "备注：", memo(), opts().wide(2).onNewLine().maxHeight(50)},
    };
    d.subPages = {SubPageDesc::grid(QStringLiteral("佣金结算"), Sets::kSettlements,
                                    {{"sNo", "编号"}, {"JDate", "结算日期"}, {"Jieshao", "介绍费"},
                                     {"Qita", "其他费用"}, {"BeginDate", "合同开始日期"}, {"EndDate", "截止日期"},
                                     {"Jingban", "经办人"}, {"Memo", "备注"}})
                      .ordered({QStringLiteral("sNo")})
                      .withDialog(QStringLiteral("新增"), Sets::kSettlements)};
    d.subPages[0].deleteQuestion = QStringLiteral("您真的要删除该佣金结算资料吗？");
    d.listReport = QStringLiteral("frShusong");
    // The detail page prints the unit's settlements.
    d.detailReport = QStringLiteral("frShusongYJ");
    d.detailReportSet = Sets::kSettlements;
    d.detailQuery = true;
    d.detailQueryAlways = true;
    d.queryBeforePrint = true;
    d.navigator = true;
    d.folder.family = &DocumentFolders::shusong;
    return d;
}

TfrmShusong::TfrmShusong(QWidget *parent) : ModuleFrame(description(), parent)
{
    for (const char *f : {"Email", "Homepage"})
        edit(QString::fromLatin1(f))->setStyleSheet(
            QStringLiteral("QLineEdit { color: #0645ad; text-decoration: underline; }"));
    connect(form()->button(QStringLiteral("BtnMail")), &QPushButton::clicked, this, &TfrmShusong::BtnMailClick);
    connect(form()->button(QStringLiteral("BtnOpen")), &QPushButton::clicked, this, &TfrmShusong::BtnOpenClick);
    m_warnings = new EntryWarnings(dataset(), this);
    m_warnings->watch(edit(QStringLiteral("ID")), QStringLiteral("ID"), &EntryChecks::isIdentityNumber,
                      EntryChecks::kBadIdentityNumber);
    m_warnings->watch(edit(QStringLiteral("Mobile")), QStringLiteral("Mobile"), &EntryChecks::isMobile,
                      EntryChecks::kBadMobile);
    // A click among the settlements shows the units' folder too.
    if (SubPage *settlements = subPage(Sets::kSettlements))
        connect(settlements->grid(), &DataGrid::rowClicked, this, [this] { showFolder(); });
}

QLineEdit *TfrmShusong::edit(const QString &field) const
{
    return qobject_cast<QLineEdit *>(form()->widget(field));
}

void TfrmShusong::open()
{
    ModuleFrame::open();
    showFolder();
}

void TfrmShusong::afterModify()
{
    showFolder();
}

void TfrmShusong::rowChosen()
{
    showFolder();
}

bool TfrmShusong::checkSave()
{
    m_warnings->warnPending();
    return true;
}

void TfrmShusong::beforeStore()
{
    showFolder();
}

void TfrmShusong::openQuery()
{
    TfrmShusongQuery dlg(dataset(), this);
    dlg.exec();
    updateCommands();
}

void TfrmShusong::BtnMailClick()
{
    openMailTo(edit(QStringLiteral("Email"))->text());
}

void TfrmShusong::BtnOpenClick()
{
    openWebAddress(edit(QStringLiteral("Homepage"))->text());
}
