#include "customers/tfrmcustomers.h"

#include "customers/customerfields.h"
#include "customers/customerscope.h"
#include "customers/tfrmcustomerquery3.h"
#include "customers/tfrmcuststatenew.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/userrights.h"
#include "tools/documentfolders.h"
#include "ui/datagrid.h"
#include "ui/editkeys.h"
#include "ui/fieldbinder.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QAction>
#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSqlQuery>
#include <QTabWidget>
#include <QToolBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <map>
#include <optional>

namespace {
Dataset *shared(const char *name)
{
    return TdmMain::instance()->dataset(QString::fromLatin1(name));
}

const QString kRight = QStringLiteral("301");
const QString kLogPrefix = QStringLiteral("客户业务管理-客户资料");

std::map<TfrmCustomers::SubDialog, TfrmCustomers::Opener> &openers()
{
    static std::map<TfrmCustomers::SubDialog, TfrmCustomers::Opener> o;
    return o;
}

// Which record dialog a sub-page's "新增…" and "修改" open.
std::optional<TfrmCustomers::SubDialog> dialogOf(TfrmCustomers::SubPage page)
{
    using P = TfrmCustomers::SubPage;
    using D = TfrmCustomers::SubDialog;
    switch (page) {
    case P::Contacts: return D::Contact;
    case P::Contracts: return D::Contract;
    case P::Workers: return D::Worker;
    case P::History: return D::History;
    case P::AddInfo: break;
    }
    return std::nullopt;
}
} // namespace

void TfrmCustomers::setSubDialog(SubDialog which, Opener open)
{
    openers()[which] = std::move(open);
}

ModuleDesc TfrmCustomers::description()
{
    ModuleDesc d;
    d.className = QStringLiteral("TfrmCustomers");
    d.caption = QStringLiteral("客户资料");
    d.listPage = QStringLiteral("客户资料列表");
    d.detailPage = QStringLiteral("客户详细资料");
    d.dataset = QStringLiteral("tblCustomers");
    d.keyField = QStringLiteral("CustId");
    d.rightCode = kRight;
    d.logPrefix = kLogPrefix;
    d.columns = {{"CNo", "自动编号"},         {"CustId", "客户代码"},    {"CustName", "客户名称"},
                 {"MainLinkman", "主要联系人"}, {"Address", "地址"},       {"VocationName", "客户类型"},
                 {"LevelName", "客户级别"},    {"OriginName", "客户来源"}, {"Operater", "工作人员"}};
    d.required = CustomerFields::required();
    d.enterOrder = CustomerFields::enterOrder();
    d.deleteChecks = CustomerFields::deleteChecks();
    d.deleteQuestion = CustomerFields::kDeleteQuestion;
    d.listReport = QStringLiteral("frCustomers");
    d.detailReport = QStringLiteral("frCustomerDetail");
    return d;
}

TfrmCustomers::TfrmCustomers(QWidget *parent) : ModuleFrame(description(), parent)
{
    // The contact-history dialog lives beside this window; the others
    // come with their own modules.
    if (!openers()[SubDialog::History])
        setSubDialog(SubDialog::History, [](QWidget *parent) {
            TfrmCustStateNew dlg(parent);
            dlg.exec();
        });
    dataset()->setOrderBy({QStringLiteral("CNo")});
    m_fields = new CustomerFields(dataset(), binder(), detailArea(), CustomerFields::Place::DetailPage);
    applyEnterOrder();

    buildGridPage(SubPage::Contacts, QStringLiteral("联系人资料"), "tblLinkmans",
                  {{"LinkmanID", "联系人代码"}, {"Name", "姓名"},   {"Department", "部门"}, {"Duty", "职务"},
                   {"Telephone", "电话"},       {"Fax", "传真"},    {"Mobile", "手机"},     {"Email", "电子邮件"}},
                  QStringLiteral("新增联系人"), QStringLiteral("frCustomerLinkman"), QStringLiteral("联系人-打印"));
    buildGridPage(SubPage::Contracts, QStringLiteral("业务（合同）资料"), "tblOperates",
                  {{"OperateID", "业务编码"},   {"OperateTitle", "业务标题"}, {"CustName", "相关客户"},
                   {"CreateDate", "建档时间"},  {"EndDate", "截止日期"},      {"CompactAmount", "合同金额"},
                   {"LinkmanName", "联系人"},   {"OperaterName", "业务员"}},
                  QStringLiteral("新增业务"), QStringLiteral("frCustomerOperate"), QStringLiteral("业务资料-打印"));
    buildGridPage(SubPage::Workers, QStringLiteral("受聘员工"), "tblYuangong1",
                  {{"YuangongID", "员工编号"}, {"Name", "姓名"},           {"NickName", "称呼"},
                   {"Sex", "性别"},            {"Department", "部门"},     {"GongzhongName", "工种"},
                   {"Health", "健康状况"},     {"Duty", "职务"},           {"Native", "籍贯"}},
                  QStringLiteral("新增员工"), QStringLiteral("frCustomerYuangong"), QStringLiteral("员工资料-打印"));
    page(SubPage::Workers).grid->view()->header()->hideSection(6); // 健康状况
    buildGridPage(SubPage::History, QStringLiteral("客户接触"), "tblCustomerState",
                  {{"LinkDate", "联系日期"}, {"LinkTime", "联系时间"},    {"Linkman", "联系人"},
                   {"Duty", "职务"},         {"LinkType", "联系方式"},    {"LinkContent", "联系内容"},
                   {"Charge", "费用开销"},   {"Address", "地点"},         {"Memo", "备注"}},
                  QStringLiteral("新增接触"), QStringLiteral("frCustomerState"), QStringLiteral("客户接触-打印"));
    buildAddInfoPage();

    // Each sub-page lists its rows by the column the user reads first.
    shared("tblLinkmans")->setOrderBy({QStringLiteral("LinkmanID")});
    shared("tblOperates")->setOrderBy({QStringLiteral("OperateID")});
    shared("tblYuangong1")->setOrderBy({QStringLiteral("YuangongID")});
    shared("tblCustomerState")->setOrderBy({QStringLiteral("LinkDate"), QStringLiteral("LinkTime")});

    for (const Page &p : std::as_const(m_pagesList))
        connect(p.set, &Dataset::stateChanged, this, &TfrmCustomers::updateSubCommands);
    connect(dataset(), &Dataset::stateChanged, this, &TfrmCustomers::updateSubCommands);
    connect(dataset(), &Dataset::currentRowChanged, this, &TfrmCustomers::updateSubCommands);
    updateSubCommands();
}

TfrmCustomers::Page &TfrmCustomers::page(SubPage kind)
{
    for (Page &p : m_pagesList)
        if (p.kind == kind)
            return p;
    Page p;
    p.kind = kind;
    m_pagesList.append(p);
    return m_pagesList.last();
}

const TfrmCustomers::Page *TfrmCustomers::findPage(SubPage kind) const
{
    for (const Page &p : m_pagesList)
        if (p.kind == kind)
            return &p;
    return nullptr;
}

DataGrid *TfrmCustomers::subGrid(SubPage kind) const
{
    const Page *p = findPage(kind);
    return p ? p->grid : nullptr;
}

QAction *TfrmCustomers::subCommand(SubPage kind, const QString &objectName) const
{
    const Page *p = findPage(kind);
    if (!p || !p->bar)
        return nullptr;
    for (QAction *a : p->bar->actions())
        if (a->objectName() == objectName)
            return a;
    return nullptr;
}

void TfrmCustomers::buildGridPage(SubPage kind, const QString &title, const char *set,
                                  const QVector<DatasetModel::Column> &columns, const QString &newCaption,
                                  const QString &report, const QString &logText)
{
    Page &p = page(kind);
    p.set = shared(set);
    p.report = report;
    p.logText = logText;
    auto *w = new QWidget(subPages());
    auto *layout = new QVBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    p.bar = new QToolBar(w);
    p.bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    auto add = [&](const QString &caption, const QString &name, void (TfrmCustomers::*run)(SubPage)) {
        QAction *a = p.bar->addAction(caption, this, [this, kind, run] { (this->*run)(kind); });
        a->setObjectName(name);
    };
    add(newCaption, QStringLiteral("New"), &TfrmCustomers::subNew);
    add(QStringLiteral("修改"), QStringLiteral("Modify"), &TfrmCustomers::subModify);
    add(QStringLiteral("删除"), QStringLiteral("Delete"), &TfrmCustomers::subDelete);
    add(QStringLiteral("刷新"), QStringLiteral("Refresh"), &TfrmCustomers::subRefresh);
    add(QStringLiteral("打印"), QStringLiteral("Print"), &TfrmCustomers::subPrint);
    layout->addWidget(p.bar);
    p.grid = new DataGrid(p.set, columns, description().className + QLatin1Char('.') + QString::fromLatin1(set), w);
    p.grid->setGroupPanelVisible(false);
    layout->addWidget(p.grid, 1);
    connect(p.grid, &DataGrid::rowDoubleClicked, this, [this, kind] {
        if (QAction *a = subCommand(kind, QStringLiteral("Modify")); a && a->isEnabled())
            subModify(kind);
    });
    addSubPage(title, w);
}

void TfrmCustomers::buildAddInfoPage()
{
    Page &p = page(SubPage::AddInfo);
    p.set = shared("tblCustomerAddInfo");
    p.report = QStringLiteral("frCustomerOther");
    p.logText = QStringLiteral("其他资料-打印");
    auto *w = new QWidget(subPages());
    auto *layout = new QVBoxLayout(w);
    layout->setContentsMargins(0, 0, 0, 0);
    p.bar = new QToolBar(w);
    p.bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const SubPage kind = SubPage::AddInfo;
    auto add = [&](const QString &caption, const QString &name, std::function<void()> run) {
        QAction *a = p.bar->addAction(caption, this, std::move(run));
        a->setObjectName(name);
    };
    add(QStringLiteral("修改"), QStringLiteral("Modify"), [this, kind] { subModify(kind); });
    add(QStringLiteral("保存"), QStringLiteral("Save"), [this] { addInfoSave(); });
    add(QStringLiteral("删除"), QStringLiteral("Delete"), [this, kind] { subDelete(kind); });
    add(QStringLiteral("打印"), QStringLiteral("Print"), [this, kind] { subPrint(kind); });
    layout->addWidget(p.bar);

    auto *fields = new QWidget(w);
    auto *grid = new QGridLayout(fields);
    m_addInfoBinder = new FieldBinder(p.set, this);
    QList<QWidget *> order;
    int row = 0;
    auto place = [&](const QString &label, QWidget *e, const QString &field) {
        e->setObjectName(QStringLiteral("Edit_") + field);
        e->setAccessibleName(label);
        auto *l = new QLabel(label, fields);
        l->setBuddy(e);
        grid->addWidget(l, row / 2, (row % 2) * 2);
        grid->addWidget(e, row / 2, (row % 2) * 2 + 1);
        ++row;
        order << e;
    };
    auto *bank = new QComboBox(fields);
    m_addInfoBinder->bind(bank, QStringLiteral("BankID"), shared("tblFinanceOrgan"), QStringLiteral("OrganID"),
                          QStringLiteral("OrganName"));
    place(QStringLiteral("开  户  银  行："), bank, QStringLiteral("BankID"));
    const std::pair<const char *, const char *> lines[] = {
        {"银行 账号：", "Account"},          {"开 户 行 地 址：", "BankAddress"}, {"增 值 税 户 名：", "VATaxName"},
        {"增 值 税 税 号：", "VATaxID"},     {"增值税开户银行：", "VATaxBank"},   {"增值税银行账号：", "VATaxAccount"},
        {"增值税地址：", "VATaxAddress"},    {"电　　  话：", "VATaxPhone"}};
    for (const auto &[label, field] : lines) {
        auto *e = new QLineEdit(fields);
        m_addInfoBinder->bind(e, QString::fromLatin1(field));
        place(QString::fromUtf8(label), e, QString::fromLatin1(field));
    }
    setEnterOrder(order);
    layout->addWidget(fields);
    layout->addStretch(1);
    addSubPage(QStringLiteral("其他资料"), w);
}

void TfrmCustomers::updateSubCommands()
{
    const UserRights::Ops ops = UserRights::current().ops(kRight);
    // Rows of a sub-page belong to a stored customer: a customer still
    // being typed has no code the new row could take.
    const bool customer = dataset()->isActive() && dataset()->currentRow() >= 0
        && dataset()->state() != Dataset::State::Insert;
    for (const Page &p : std::as_const(m_pagesList)) {
        const auto dialog = dialogOf(p.kind);
        const bool hasDialog = dialog && openers().count(*dialog) && openers()[*dialog];
        auto set = [&](const char *name, bool on) {
            if (QAction *a = subCommand(p.kind, QString::fromLatin1(name)))
                a->setEnabled(on);
        };
        if (p.kind == SubPage::AddInfo) {
            set("Modify", ops.modify && customer);
            set("Save", ops.modify && p.set->isEditing());
        } else {
            set("New", ops.insert && customer && hasDialog);
            set("Modify", ops.modify && customer && hasDialog);
        }
        set("Delete", ops.remove);
        set("Refresh", true);
        set("Print", ops.print);
    }
}

bool TfrmCustomers::applyUserFilter(Dataset *set)
{
    // The user's own customers only, compared exactly with the code as a
    // bound value: a quote in a user code is an ordinary character.
    set->setFilter(ownCustomersCondition(set->database()));
    if (!set->isActive() && !set->open()) {
        Prompts::instance().warn(set->lastError());
        return false;
    }
    return true;
}

void TfrmCustomers::open()
{
    // Coming back to the module with a customer half typed keeps the work:
    // it is stored as moving to another row would store it, and when that
    // is refused the user is back at the row to finish it.
    if (dataset()->isEditing() && !storeRow()) {
        updateCommands();
        return;
    }
    if (!applyUserFilter(dataset()))
        return;
    shared("tblOperates")->clearFilter();
    shared("tblOperaters")->clearFilter();
    for (const char *name : {"tblVocation", "tblCountry", "tblCustDist", "tblCustLevel", "tblCustState",
                             "tblCustOrigin", "tblFinanceOrgan", "tblJineng", "tblTijian", "tblShusong1",
                             "tblLinkmans", "tblOperates", "tblCustomerState", "tblCustomerAddInfo", "tblYuangong1",
                             "tblOperaters", "qryCustomers1", "tblOperates2"})
        if (Dataset *d = shared(name); d && !d->isActive())
            d->open();
    applyUserFilter(shared("tblCustomers2"));
    showList();
    showFolder();
    updateCommands();
    updateSubCommands();
}

void TfrmCustomers::showFolder()
{
    emit folderChosen(DocumentFolders::root());
    if (dataset()->isEmpty() || dataset()->currentRow() < 0)
        return;
    const QString code = dataset()->storedValue(QStringLiteral("CustId")).toString();
    if (!code.isEmpty())
        emit folderChosen(DocumentFolders::customer(code));
}

void TfrmCustomers::afterNew()
{
    m_fields->applyDistrictRule();
}

void TfrmCustomers::afterModify()
{
    m_fields->applyDistrictRule();
    showFolder();
}

void TfrmCustomers::rowChosen()
{
    showFolder();
}

bool TfrmCustomers::checkSave()
{
    return m_fields->checkCode();
}

void TfrmCustomers::beforeStore()
{
    emit folderChosen(m_fields->folder());
    m_fields->stampUser();
}

void TfrmCustomers::afterRefresh()
{
    for (SubPage kind : {SubPage::Contacts, SubPage::Contracts, SubPage::History, SubPage::AddInfo})
        subRefresh(kind);
}

void TfrmCustomers::openQuery()
{
    TfrmCustomerQuery3 dlg(this);
    dlg.exec();
    showFolder();
    updateCommands();
    updateSubCommands();
}

void TfrmCustomers::subNew(SubPage kind)
{
    Page &p = page(kind);
    const auto dialog = dialogOf(kind);
    if (!dialog || !openers()[*dialog])
        return;
    // The dialogs look customer names up in the second set: a customer
    // stored a moment ago must be there.
    if (kind == SubPage::Contacts || kind == SubPage::Contracts)
        shared("tblCustomers2")->refresh();
    if (!p.set->isActive())
        p.set->open();
    if (!p.set->append()) {
        Prompts::instance().warn(p.set->lastError());
        return;
    }
    openers()[*dialog](this);
    if (p.set->isEditing())
        p.set->cancel(); // a dialog that neither stored nor dropped its row
}

void TfrmCustomers::subModify(SubPage kind)
{
    Page &p = page(kind);
    if (kind == SubPage::AddInfo) {
        if (!p.set->isActive())
            p.set->open();
        // The first change of a customer without additional information
        // begins its row.
        const bool ok = p.set->isEditing() || (p.set->isEmpty() ? p.set->append() : p.set->edit());
        if (!ok) {
            Prompts::instance().warn(p.set->lastError());
            return;
        }
        if (QWidget *bank = m_addInfoBinder->widgetFor(QStringLiteral("BankID")))
            bank->setFocus(Qt::OtherFocusReason);
        return;
    }
    const auto dialog = dialogOf(kind);
    if (!dialog || !openers()[*dialog])
        return;
    if (kind == SubPage::Contacts)
        shared("tblCustomers2")->refresh();
    if (kind == SubPage::Contracts) {
        Dataset *names = shared("tblCustomers2");
        names->refresh();
        names->locate(QStringLiteral("CustId"), p.set->value(QStringLiteral("CustID")));
    }
    const bool ok = p.set->isEditing() || (p.set->isEmpty() ? p.set->append() : p.set->edit());
    if (!ok) {
        Prompts::instance().warn(p.set->lastError());
        return;
    }
    openers()[*dialog](this);
    if (p.set->isEditing())
        p.set->cancel();
}

void TfrmCustomers::subDelete(SubPage kind)
{
    Page &p = page(kind);
    if (!p.set->isActive() || p.set->isEmpty() || p.set->currentRow() < 0)
        return;
    if (p.set->state() == Dataset::State::Insert) {
        p.set->cancel();
        return;
    }
    QString question;
    switch (kind) {
    case SubPage::Contacts:
        if (!deleteAllowed(p.set, QStringLiteral("LinkmanID"),
                           {{"tblOperates", "LinkmanID", "对不起，业务资料有该联系人信息，不能删除！"}}))
            return;
        question = QStringLiteral("您真的要删除该联系人资料吗？");
        break;
    case SubPage::Contracts:
        if (!deleteAllowed(p.set, QStringLiteral("OperateID"),
                           {{"tblOperateDetail", "OperateID", "对不起，该业务资料包括业务子项信息，不能删除！"}}))
            return;
        question = QStringLiteral("您真的要删除该业务资料吗？");
        break;
    case SubPage::Workers:
        question = QStringLiteral("您真的要删除该员工资料吗？");
        break;
    case SubPage::History:
        question = QStringLiteral("您真的要删除该接触机会信息吗？");
        break;
    case SubPage::AddInfo:
        question = QStringLiteral("您真的要删除该资料吗？");
        break;
    }
    if (!Prompts::instance().askOkCancel(question, Prompts::Icon::Question))
        return;
    if (p.set->isEditing())
        p.set->cancel();
    if (!p.set->remove())
        Prompts::instance().warn(p.set->lastError());
}

void TfrmCustomers::subRefresh(SubPage kind)
{
    Page &p = page(kind);
    const bool ok = p.set->isActive() ? p.set->refresh() : p.set->open();
    if (!ok)
        Prompts::instance().warn(p.set->lastError());
}

void TfrmCustomers::subPrint(SubPage kind)
{
    Page &p = page(kind);
    if (!logCommand(kLogPrefix + QLatin1Char('-') + p.logText))
        return;
    print(p.set, p.report, this);
}

void TfrmCustomers::addInfoSave()
{
    Dataset *set = page(SubPage::AddInfo).set;
    if (!set->isEditing())
        return;
    if (!set->post() && !set->lastPostDropped())
        Prompts::instance().warn(set->lastError());
}
