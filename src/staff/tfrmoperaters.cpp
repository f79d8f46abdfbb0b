#include "staff/tfrmoperaters.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/documentfolders.h"
#include "data/sharedsets.h"
#include "staff/tfrmoperaterquery.h"
#include "ui/fieldbinder.h"
#include "ui/links.h"
#include "ui/personpages.h"
#include "ui/photobox.h"
#include "ui/tfrmimage.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ModuleDesc TfrmOperaters::description()
{
    ModuleDesc d;
    d.className = QStringLiteral("TfrmOperaters");
    d.caption = QStringLiteral("工作人员资料");
    d.listPage = QStringLiteral("工作人员资料列表");
    d.detailPage = QStringLiteral("工作人员详细资料");
    d.dataset = Sets::kStaff;
    d.keyField = QStringLiteral("OperaterID");
    d.rightCode = QStringLiteral("303");
    d.logPrefix = QStringLiteral("客户业务管理-业务员资料");
    d.orderBy = {QStringLiteral("OperaterID")};
    d.columns = {{"OperaterID", "业务员代码"}, {"Name", "姓名"},       {"NickName", "称呼"}, {"Sex", "性别"},
                 {"Department", "部门"},       {"Duty", "职务"},       {"Native", "籍贯"}};
    using namespace Field;
    d.form = {
        {"OperaterID", "工作人员代码：", line()},
        {"Name", "姓    名：", line()},
        {"NickName", "称    呼：", line()},
        {"Sex", "性    别：", fixedList({QStringLiteral("男"), QStringLiteral("女")})},
        {"DepartmentID", "部    门：", dictionary(Sets::kDepartments, "DepartmentID", "DepartmentName")},
        {"Duty", "职    务：", line()},
        {"Education", "学　　历：",
         fixedList({QStringLiteral("专科"), QStringLiteral("本科"), QStringLiteral("硕士"), QStringLiteral("中专"),
                    QStringLiteral("高中"), QStringLiteral("初中")})},
        {"Birth", "出生年月：", date()},
        {"ID", "身份证号：", line()},
        {"Native", "籍　　贯：", line()},
        {"CTelephone", "公司电话：", line()},
        {"Fax", "传　　真：", line()},
        {"HTelephone", "家庭电话：", line()},
        {"Mobile", "移动电话：", line()},
        {"Address", "住　　址：", line()},
        {"Email", "Email邮箱：", line()},
        {"HomePage", "主　　页：", line()},
        {"Memo", "备　　注：", memo(), opts().wide(2).onNewLine().maxHeight(60)},
    };
    // The contracts of the member opened: the contract module's own list,
    // which "修改" restricts to this member until that module opens again.
    d.subPages = {SubPageDesc::grid(QStringLiteral("业务（合同）资料"), Sets::kContractList,
                                    {{"OperateID", "业务编码"}, {"OperateTitle", "业务标题"}, {"CustName", "相关客户"},
                                     {"CreateDate", "建档时间"}, {"EndDate", "截止日期"},
                                     {"CompactAmount", "合同金额"}, {"LinkmanName", "联系人"},
                                     {"OperaterName", "业务员"}})
                      .ordered({QStringLiteral("OperateID")})
                      .readOnly()
                      .filledByModule()};
    d.listReport = QStringLiteral("frOperaters");
    d.detailReport = QStringLiteral("frOperaterDetail");
    d.detailQuery = true;
    d.folder.family = &DocumentFolders::operaters;
    d.folder.codeField = QStringLiteral("OperaterID");
    d.folder.record = &DocumentFolders::operater;
    return d;
}

TfrmOperaters::TfrmOperaters(QWidget *parent) : ModuleFrame(description(), parent)
{
    buildSide();
    using namespace Field;
    m_state = PersonPages::addStatePage(this, QStringLiteral("工作人员状态信息"),
                                        {{"InTime", "入职时间：", date()},
                                         {"OutTime", "离职时间：", date()},
                                         {"OutReason", "离职原因：", memo()},
                                         {"State", "在职状态：", fixedList({QStringLiteral("在职"), QStringLiteral("离职")})}},
                                        1, [this] { BtnStateSaveClick(); });
}

void TfrmOperaters::buildSide()
{
    const PersonPages::PhotoColumn photo = PersonPages::addPhotoColumn(this);
    m_photo = photo.photo;
    m_zoom = photo.zoom;
    auto *mail = new QPushButton(QStringLiteral("发送邮件"), detailArea());
    auto *web = new QPushButton(QStringLiteral("打开..."), detailArea());
    detailSide()->addWidget(mail);
    detailSide()->addWidget(web);
    detailSide()->addStretch(1);
    for (QPushButton *p : {mail, web})
        p->setFocusPolicy(Qt::NoFocus);
    connect(mail, &QPushButton::clicked, this, &TfrmOperaters::BtnMailClick);
    connect(web, &QPushButton::clicked, this, &TfrmOperaters::BtnOpenClick);
}

QLineEdit *TfrmOperaters::emailEdit() const { return qobject_cast<QLineEdit *>(form()->widget(QStringLiteral("Email"))); }
QLineEdit *TfrmOperaters::homePageEdit() const { return qobject_cast<QLineEdit *>(form()->widget(QStringLiteral("HomePage"))); }

void TfrmOperaters::open()
{
    dataset()->clearFilter();
    openSets();
    showFolder();
    showPhoto();
    updateCommands();
}

QString TfrmOperaters::typedCode() const
{
    return qobject_cast<QLineEdit *>(form()->widget(QStringLiteral("OperaterID")))->text().trimmed();
}

void TfrmOperaters::showPhoto()
{
    binder()->refresh();
}

void TfrmOperaters::afterNew()
{
    // A new member has no contracts yet.
    TdmMain::instance()->dataset(Sets::kContractList)->close();
}

void TfrmOperaters::afterModify()
{
    // The contract list shows this member's contracts from now on, also in
    // the contract module until that is opened again.
    Dataset *contracts = TdmMain::instance()->dataset(Sets::kContractList);
    contracts->close();
    contracts->setFilter(Condition::equals(QStringLiteral("OperaterID"),
                                           dataset()->storedValue(QStringLiteral("OperaterID"))));
    contracts->open();
    showFolder();
}

void TfrmOperaters::rowChosen()
{
    showFolder();
}

void TfrmOperaters::beforeStore()
{
    emit folderChosen(DocumentFolders::operater(typedCode()));
}

void TfrmOperaters::openQuery()
{
    TfrmOperaterQuery dlg(dataset(), this);
    dlg.exec();
}

void TfrmOperaters::PhotoClick()
{
    emit m_photo->clicked();
}

void TfrmOperaters::BtnZoomClick()
{
    m_zoom->click();
}

void TfrmOperaters::BtnMailClick()
{
    openMailTo(emailEdit()->text());
}

void TfrmOperaters::BtnOpenClick()
{
    openWebAddress(homePageEdit()->text());
}

void TfrmOperaters::BtnStateEditClick()
{
    PersonPages::editState(this, m_state);
}

void TfrmOperaters::BtnStateSaveClick()
{
    // Without the checks this stored a member without code or name, which
    // nothing could then find again; no log line, as before.
    if (!runSaveChecks())
        return;
    const QString folder = DocumentFolders::operater(typedCode());
    emit folderChosen(folder);
    if (dataset()->isEditing()) {
        dataset()->setValue(QStringLiteral("FilePath"), folder);
        storeRow();
    }
}
