#include "contacts/tfrmlinkman.h"

#include "contacts/emailexport.h"
#include "contacts/tfrmlinkmanquery1.h"
#include "customers/customerpicker.h"
#include "customers/customerview.h"
#include "customers/pickercontext.h"
#include "data/apppaths.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/documentfolders.h"
#include "data/privatefiles.h"
#include "data/recordscope.h"
#include "data/schema.h"
#include "data/sharedsets.h"
#include "ui/checkmarkdelegate.h"
#include "ui/datagrid.h"
#include "ui/fieldbinder.h"
#include "ui/links.h"
#include "ui/prompts.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

const QString TfrmLinkman::kExportTitle = QStringLiteral("Email地址导出");
const QString TfrmLinkman::kExportDone = QStringLiteral("Email地址列表导出成功！");
const QString TfrmLinkman::kDeleteQuestion = QStringLiteral("您真的要删除该联系人吗？");

namespace {
const QString kCustID = QStringLiteral("CustID");
}

ModuleDesc TfrmLinkman::description()
{
    ModuleDesc d;
    d.className = QStringLiteral("TfrmLinkman");
    d.caption = QStringLiteral("联系人资料");
    d.listPage = QStringLiteral("联系人资料列表");
    d.detailPage = QStringLiteral("联系人详细资料");
    d.dataset = Sets::kContactList;
    d.keyField = QStringLiteral("LinkmanID");
    d.rightCode = QStringLiteral("302");
    d.logPrefix = QStringLiteral("客户业务管理-联系人资料");
    d.orderBy = {QStringLiteral("LNo")};
    d.columns = {{"LNo", "自动编号"},          {"LinkmanID", "联系人代码"}, {"Name", "姓名"},
                 {"NickName", "称呼"},         {"CustName", "客户名称"},    {"Department", "工作单位"},
                 {"Duty", "职务"},             {"Mobile", "手机"},          {"Telephone", "联系电话"},
                 {"Main", "是否主要联系人"}};
    using namespace Field;
    d.form = {
        {"LinkmanID", "联系人代码：", line()},
        {"Name", "联系人姓名：", line()},
        {"Main", "是否主要联系人", check()},
        {"CustID", "客户名称：", dictionary(Sets::kCustomerNames, "CustId", "CustName"),
         opts().withButton("BtnCustQuery", "查询...")},
        {"NickName", "称 呼：", line()},
        {"Department", "工作单位：", line()},
        {"Duty", "职 务：", line()},
        {"Telephone", "联系电话：", line()},
        {"Fax", "传 真：", line()},
        {"Mobile", "手    机：", line()},
        {"HomeAddress", "家庭地址：", line(), opts().wide(2).onNewLine()},
        {"Email", "Email邮箱：", line(), opts().withButton("BtnMail", "发送邮件")},
        {"HomePage", "主　　页：", line(), opts().withButton("BtnOpen", "打开...")},
        {"Enjoy", "兴趣爱好：", line()},
        {"SpecialDate", "特殊纪念日：", date()},
        {"Memo", "备　　注：", memo(), opts().wide(2).onNewLine().maxHeight(50)},
    };
    d.listReport = QStringLiteral("frLinkmans");
    d.detailReport = QStringLiteral("frLinkmansDetail");
    d.deleteQuestion = kDeleteQuestion;
    d.hiddenColumns = {QStringLiteral("Department")}; // in the list, hidden at first
    WindowCommand exportList;
    exportList.name = QStringLiteral("ListEmailExport");
    exportList.caption = kExportTitle;
    exportList.place = WindowCommand::Place::ListBar;
    exportList.run = runs(&TfrmLinkman::Act_EmailExportExecute);
    d.commands = {exportList};
    d.folder.family = &DocumentFolders::root;
    d.folder.codeField = QStringLiteral("CustID");
    d.folder.record = &DocumentFolders::customer;
    return d;
}

TfrmLinkman::TfrmLinkman(QWidget *parent) : ModuleFrame(description(), parent)
{
    grid()->setColumnDelegate(QStringLiteral("Main"), new CheckMarkDelegate(grid()));

    connect(form()->button(QStringLiteral("BtnCustQuery")), &QPushButton::clicked, this,
            &TfrmLinkman::BtnCustQueryClick);
    connect(form()->button(QStringLiteral("BtnMail")), &QPushButton::clicked, this, &TfrmLinkman::BtnMailClick);
    connect(form()->button(QStringLiteral("BtnOpen")), &QPushButton::clicked, this, &TfrmLinkman::BtnOpenClick);
    for (const char *f : {"Email", "HomePage"})
        edit(QString::fromLatin1(f))->setStyleSheet(
            QStringLiteral("QLineEdit { color: #0645ad; text-decoration: underline; }"));

    m_view = new CustomerView(dataset()->database(), this);
    addSubPage(QStringLiteral("客户资料"), m_view);
    // The view follows the contact while the detail page shows it.
    Dataset *set = dataset();
    auto follow = [this] { followCustomer(); };
    connect(set, &Dataset::currentRowChanged, this, follow);
    connect(set, &Dataset::stateChanged, this, follow);
    connect(set, &Dataset::rowsReset, this, follow);
    connect(set, &Dataset::fieldChanged, this, [this](const QString &field) {
        if (field.compare(kCustID, Qt::CaseInsensitive) == 0)
            followCustomer();
    });
    connect(pages(), &QTabWidget::currentChanged, this, follow);
}

QLineEdit *TfrmLinkman::edit(const QString &field) const
{
    return qobject_cast<QLineEdit *>(form()->widget(field));
}

Condition TfrmLinkman::ownContacts() const
{
    return ownRecordsCondition(dataset()->database());
}

void TfrmLinkman::followCustomer()
{
    if (!showingDetail())
        return;
    m_view->showCustomer(dataset()->isActive() && dataset()->currentRow() >= 0 ? dataset()->value(kCustID).toString()
                                                                              : QString());
}

bool TfrmLinkman::ensureCustomersOpen()
{
    Dataset *customers = TdmMain::instance()->dataset(Sets::kCustomerNames);
    if (customers->isActive() || customers->open())
        return true;
    Prompts::instance().warn(customers->lastError());
    return false;
}

void TfrmLinkman::open()
{
    // A contact half typed is stored as moving to another row would store
    // it; when that is refused the user is back at the row to finish it.
    if (dataset()->isEditing() && !storeRow()) {
        updateCommands();
        return;
    }
    TdmMain *dm = TdmMain::instance();
    // The drop-down of customers and their names in the list: the user's
    // own customers, every customer for a system user.
    Dataset *customers = dm->dataset(Sets::kCustomerNames);
    const Condition own = ownContacts();
    if (!refilter(customers, own))
        Prompts::instance().warn(customers->lastError());
    for (const QString &name : {Sets::kCustomerContacts, Sets::kContractList, Sets::kStaff}) {
        Dataset *s = dm->dataset(name);
        if (!s->isActive() && !s->open())
            Prompts::instance().warn(s->lastError());
    }
    Dataset *set = dataset();
    if (own.isNull() && set->isActive() && m_searched) {
        // A system user's last search stays in force until "刷新".
    } else {
        m_searched = false;
        set->setFilter(own);
        if (!(set->isActive() ? set->refresh() : set->open())) {
            Prompts::instance().warn(set->lastError());
            return;
        }
    }
    m_view->forget();
    showList();
    showFolder();
    updateCommands();
}

void TfrmLinkman::afterNew()
{
    ensureCustomersOpen();
}

void TfrmLinkman::afterModify()
{
    ensureCustomersOpen();
    showFolder();
}

void TfrmLinkman::rowChosen()
{
    showFolder();
}

void TfrmLinkman::beforeStore()
{
    // The contact's documents live in its customer's folder.
    const QString code = dataset()->value(kCustID).toString();
    emit folderChosen(code.isEmpty() ? DocumentFolders::root() : DocumentFolders::customer(code));
}

void TfrmLinkman::afterRefresh()
{
    // "刷新" ends a search: back to every contact the user may see.
    Dataset *set = dataset();
    const Condition own = ownContacts();
    m_searched = false;
    if (!(set->filter() == own) && !refilter(set, own))
        Prompts::instance().warn(set->lastError());
    m_view->forget();
    followCustomer();
    showFolder();
}

void TfrmLinkman::openQuery()
{
    const Condition before = dataset()->filter();
    TfrmLinkmanQuery1 dlg(dataset(), ownContacts(), this);
    dlg.exec();
    // Also a search that found nothing holds until "刷新".
    m_searched = m_searched || !(dataset()->filter() == before);
    m_view->forget();
    showFolder();
    updateCommands();
}

void TfrmLinkman::BtnCustQueryClick()
{
    customerPickerContext() = PickerContext::kContact;
    TfrmCustomerQuery picker(dataset(), kCustID, this);
    picker.exec();
    binder()->refresh();
    followCustomer();
}

void TfrmLinkman::BtnMailClick()
{
    openMailTo(edit(QStringLiteral("Email"))->text());
}

void TfrmLinkman::BtnOpenClick()
{
    openWebAddress(edit(QStringLiteral("HomePage"))->text());
}

void TfrmLinkman::BtnCustMailClick()
{
    openMailTo(qobject_cast<QLineEdit *>(m_view->form()->widget(QStringLiteral("Email")))->text());
}

void TfrmLinkman::Act_EmailExportExecute()
{
    const QString folder = AppPaths::path(QStringLiteral("Email"));
    PrivateFiles::makeFolder(folder);
    QString file = Prompts::instance().saveFileName(kExportTitle, QDir(folder).filePath(QStringLiteral("Email.txt")),
                                                    QStringLiteral("文本文件(*.txt)"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".txt");
    Dataset *set = dataset();
    if (!set->database())
        return;
    // The list as it stands: after a search only the contacts found.
    const QString error = writeEmailList(*set->database(), set->filter(), file);
    if (!error.isEmpty()) {
        Prompts::instance().warn(error);
        return;
    }
    Prompts::instance().inform(kExportDone);
}

Form *TfrmLinkman::customerView() const { return m_view->form(); }
Dataset *TfrmLinkman::customerViewSet() const { return m_view->dataset(); }
