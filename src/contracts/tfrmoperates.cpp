#include "contracts/tfrmoperates.h"

#include "contracts/contracteditor.h"
#include "contracts/tfrmoperatequery1.h"
#include "customers/customerpicker.h"
#include "customers/customerview.h"
#include "customers/pickercontext.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/documentfolders.h"
#include "data/recordscope.h"
#include "data/schema.h"
#include "data/sharedsets.h"
#include "ui/datagrid.h"
#include "ui/fieldbinder.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QPushButton>
#include <QSqlQuery>
#include <QTabWidget>

const QString TfrmOperates::kDeleteQuestion = QStringLiteral("您真的要删除该业务项目吗？");

namespace {
const QString kCustID = QStringLiteral("CustID");
constexpr int kOfferedRole = Qt::UserRole + 1; // an item that is not among the user's own customers
}

ModuleDesc TfrmOperates::description()
{
    ModuleDesc d;
    d.className = QStringLiteral("TfrmOperates");
    d.caption = QStringLiteral("业务（合同）资料");
    d.listPage = QStringLiteral("业务（合同）资料列表");
    d.detailPage = QStringLiteral("业务（合同）详细资料");
    d.dataset = Sets::kContractList;
    d.keyField = QStringLiteral("OperateID");
    d.rightCode = QStringLiteral("304");
    d.logPrefix = QStringLiteral("客户业务管理-业务资料");
    d.orderBy = {QStringLiteral("OperateID")};
    d.columns = {{"OperateID", "业务代码"},      {"OperateTitle", "业务标题"}, {"CustName", "客户名称"},
                 {"OperaterName", "业务员"},     {"CreateDate", "建档日期"},   {"CompactAmount", "合同金额"},
                 {"CurrName", "币别"},           {"InOrOut", "收支类型"},      {"WriteDate", "签约日期"},
                 {"EndDate", "截止日期"},        {"OperateStateName", "业务状态"}};
    d.form = ContractForm::rows(ContractForm::Host::DetailPage);
    d.subPages = {SubPageDesc::grid(QStringLiteral("业务（合同）过程跟踪"), Sets::kMoneyLines,
                                    {{"DetailNo", "业务详细编号"}, {"OperateDate", "发生日期"}, {"DTitle", "主题"},
                                     {"InOut", "收支类型"},       {"Price", "单价"},           {"Amount", "数量"},
                                     {"DTotal", "总计"},          {"CurrID", "币别"},          {"RMB", "折人民币"}})
                      .ordered({QStringLiteral("DetailNo")})
                      .withDialog(QStringLiteral("新增业务子项"), Sets::kMoneyLines)};
    d.listReport = QStringLiteral("frOperates");
    d.detailReport = QStringLiteral("frOperateDetail");
    d.detailReportSet = Sets::kMoneyLines;
    d.detailQuery = true;
    d.deleteQuestion = kDeleteQuestion;
    // Contracts keep their documents in their customer's folder.
    d.folder.family = &DocumentFolders::root;
    d.folder.codeField = QStringLiteral("CustID");
    d.folder.record = &DocumentFolders::customer;
    d.folder.typedCode = true;
    return d;
}

TfrmOperates::TfrmOperates(QWidget *parent) : ModuleFrame(description(), parent)
{
    // The contacts of the customer chosen in "相关客户：", from a set of the
    // window's own so that choosing never moves another window's contacts.
    m_contacts = new Dataset(dataset()->database(), QStringLiteral("TfrmOperates.Contacts"),
                             Schema::table(QStringLiteral("tblLinkmans")), this);
    m_contacts->setOrderBy({QStringLiteral("LinkmanID")});
    m_contactBox = qobject_cast<QComboBox *>(form()->widget(QStringLiteral("LinkmanID")));
    binder()->bind(m_contactBox, QStringLiteral("LinkmanID"), m_contacts, QStringLiteral("LinkmanID"),
                   QStringLiteral("Name"));

    m_editor = new ContractEditor(form(), dataset(), this);
    connect(form()->button(QStringLiteral("BtnCustQuery")), &QPushButton::clicked, this,
            &TfrmOperates::BtnCustQueryClick);
    connect(form()->button(QStringLiteral("BtnLinkCustQuery")), &QPushButton::clicked, this,
            &TfrmOperates::BtnLinkCustQueryClick);

    m_view = new CustomerView(dataset()->database(), this);
    addSubPage(QStringLiteral("客户资料"), m_view);

    Dataset *set = dataset();
    auto follow = [this] { followCustomer(); };
    connect(set, &Dataset::currentRowChanged, this, follow);
    connect(set, &Dataset::stateChanged, this, follow);
    connect(set, &Dataset::rowsReset, this, follow);
    connect(set, &Dataset::fieldChanged, this, [this](const QString &field) {
        if (field.compare(kCustID, Qt::CaseInsensitive) == 0)
            followCustomer();
    });
    // After the drop-down has been filled again from the user's customers.
    Dataset *own = TdmMain::instance()->dataset(Sets::kCustomerNames);
    connect(own, &Dataset::rowsReset, this, [this] { keepCustomerOffered(); });
    connect(own, &Dataset::contentChanged, this, [this] { keepCustomerOffered(); });
    connect(pages(), &QTabWidget::currentChanged, this, [this] {
        followCustomer();
        m_editor->followLink();
    });
}

void TfrmOperates::followCustomer()
{
    if (!showingDetail())
        return;
    Dataset *set = dataset();
    if (!set->isActive()) {
        // Closed, as at a disconnect: nothing to follow, nothing to read.
        m_view->showCustomer({});
        m_contacts->close();
        m_contactsRead = false;
        return;
    }
    const QString code = set->currentRow() >= 0 ? set->value(kCustID).toString() : QString();
    keepCustomerOffered();
    m_view->showCustomer(code);
    if (m_contactsRead && code == m_contactsOf && m_contacts->database() == set->database())
        return;
    m_contactsOf = code;
    m_contactsRead = true;
    m_contacts->close();
    m_contacts->setDatabase(set->database());
    // No customer: no contacts to offer.
    m_contacts->setFilter(code.isEmpty() ? Condition::raw(QStringLiteral("1 = 0"))
                                         : Condition::equals(QStringLiteral("CustID"), code));
    if (!m_contacts->open())
        Prompts::instance().warn(m_contacts->lastError());
}

void TfrmOperates::keepCustomerOffered()
{
    // The drop-down offers the user's own customers. A contract handed
    // over without its customer still names that customer: it is shown,
    // and stays the contract's customer when stored.
    auto *box = qobject_cast<QComboBox *>(form()->widget(kCustID));
    Dataset *set = dataset();
    if (!box || !set->isActive() || set->currentRow() < 0 || !set->database())
        return;
    const QVariant code = set->value(kCustID);
    // Another contract's customer added so is not offered to this one.
    for (int i = box->count() - 1; i >= 0; --i)
        if (box->itemData(i, kOfferedRole).toBool() && box->itemData(i) != code)
            box->removeItem(i);
    if (code.isNull() || code.toString().isEmpty() || box->findData(code) >= 0)
        return;
    QSqlQuery q(set->database()->sql());
    QString error;
    if (!set->database()->prepareAndExec(q, QStringLiteral("SELECT CustName FROM tblCustomers WHERE CustId = ?"),
                                         {code}, &error) || !q.next())
        return; // no such customer: nothing to show, and "保存" asks for one
    box->addItem(q.value(0).toString(), code);
    box->setItemData(box->count() - 1, true, kOfferedRole);
    box->setCurrentIndex(box->count() - 1);
}

void TfrmOperates::open()
{
    // A contract half typed is stored as moving to another row would store
    // it; when that is refused the user is back at the row to finish it.
    if (dataset()->isEditing() && !storeRow()) {
        updateCommands();
        return;
    }
    TdmMain *dm = TdmMain::instance();
    for (const QString &name : {Sets::kStaff, Sets::kNamedCustomerContacts})
        dm->dataset(name)->clearFilter();
    for (const QString &name : {Sets::kCurrencies, Sets::kContractTypes, Sets::kContractOrigins, Sets::kContractStates,
                                Sets::kStaff, Sets::kNamedCustomerContacts, Sets::kCustomerContracts}) {
        Dataset *s = dm->dataset(name);
        if (!s->isActive() && !s->open())
            Prompts::instance().warn(s->lastError());
    }
    // The drop-down of customers and the names in the list: the user's own
    // customers and contracts, every one for a system user.
    const Condition own = ownRecordsCondition(dataset()->database());
    Dataset *customers = dm->dataset(Sets::kCustomerNames);
    if (!refilter(customers, own))
        Prompts::instance().warn(customers->lastError());
    if (!refilter(dataset(), own)) {
        Prompts::instance().warn(dataset()->lastError());
        return;
    }
    // The money lines follow the contract shown from the first showing on,
    // for the detail page's grid, its "打印" and its "删除" alike.
    openSets();
    m_view->forget();
    m_contactsRead = false;
    showList();
    grid()->fitColumnsToContents(); // whole titles, as far as they go
    if (!dataset()->isEmpty())
        showFolder();
    updateCommands();
}

void TfrmOperates::prepareEditing(bool readLinesAgain)
{
    TdmMain *dm = TdmMain::instance();
    for (const QString &name : {Sets::kCustomerNames, Sets::kNamedCustomerContacts}) {
        Dataset *s = dm->dataset(name);
        if (!(s->isActive() ? s->refresh() : s->open()))
            Prompts::instance().warn(s->lastError());
    }
    // "修改" reads the contract's money lines again; "新增" only opens them.
    Dataset *lines = dm->dataset(Sets::kMoneyLines);
    const bool linesOk = lines->isActive() ? (!readLinesAgain || lines->refresh()) : lines->open();
    if (!linesOk)
        Prompts::instance().warn(lines->lastError());
    m_contactsRead = false;
    m_view->forget();
    followCustomer();
    m_editor->followLink();
}

void TfrmOperates::afterNew() { prepareEditing(false); }

void TfrmOperates::afterModify()
{
    prepareEditing(true);
    showFolder();
}

void TfrmOperates::rowChosen() { showFolder(); }

void TfrmOperates::beforeStore() { showFolder(); }

void TfrmOperates::afterRefresh()
{
    m_view->forget();
    m_contactsRead = false;
    followCustomer();
}

void TfrmOperates::openQuery()
{
    TfrmOperateQuery1 dlg(dataset(), this);
    dlg.exec();
    m_view->forget();
    updateCommands();
}

void TfrmOperates::BtnCustQueryClick()
{
    customerPickerContext() = PickerContext::kContractCustomer;
    TfrmCustomerQuery1 picker(dataset(), kCustID, this);
    picker.exec();
    binder()->refresh();
    followCustomer();
}

void TfrmOperates::BtnLinkCustQueryClick()
{
    customerPickerContext() = PickerContext::kContractLinkCustomer;
    TfrmCustomerQuery1 picker(dataset(), QStringLiteral("LinkCustID"), this);
    picker.exec();
    binder()->refresh();
}
