#include "customers/tfrmcustomers.h"

#include "customers/customerfields.h"
#include "customers/tfrmcustomerquery3.h"
#include "customers/tfrmcuststatenew.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/documentfolders.h"
#include "data/recordscope.h"
#include "data/sharedsets.h"
#include "import/importtarget.h"
#include "importui/tfrmimport.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

ModuleDesc TfrmCustomers::description()
{
    ModuleDesc d;
    d.className = QStringLiteral("TfrmCustomers");
    d.caption = QStringLiteral("客户资料");
    d.listPage = QStringLiteral("客户资料列表");
    d.detailPage = QStringLiteral("客户详细资料");
    d.dataset = Sets::kCustomerList;
    d.keyField = QStringLiteral("CustId");
    d.rightCode = QStringLiteral("301");
    d.logPrefix = QStringLiteral("客户业务管理-客户资料");
    d.orderBy = {QStringLiteral("CNo")};
    d.columns = {{"CNo", "自动编号"},         {"CustId", "客户代码"},    {"CustName", "客户名称"},
                 {"MainLinkman", "主要联系人"}, {"Address", "地址"},       {"VocationName", "客户类型"},
                 {"LevelName", "客户级别"},    {"OriginName", "客户来源"}, {"Operater", "工作人员"}};
    d.form = CustomerFields::form(CustomerFields::Place::DetailPage);
    d.listReport = QStringLiteral("frCustomers");
    d.detailReport = QStringLiteral("frCustomerDetail");

    using namespace Field;
    d.subPages = {
        SubPageDesc::grid(QStringLiteral("联系人资料"), Sets::kCustomerContacts,
                          {{"LinkmanID", "联系人代码"}, {"Name", "姓名"}, {"Department", "部门"}, {"Duty", "职务"},
                           {"Telephone", "电话"}, {"Fax", "传真"}, {"Mobile", "手机"}, {"Email", "电子邮件"}})
            .ordered({QStringLiteral("LinkmanID")})
            .withDialog(QStringLiteral("新增联系人"), Sets::kCustomerContacts)
            .printing(QStringLiteral("frCustomerLinkman"), QStringLiteral("联系人-打印")),
        SubPageDesc::grid(QStringLiteral("业务（合同）资料"), Sets::kCustomerContracts,
                          {{"OperateID", "业务编码"}, {"OperateTitle", "业务标题"}, {"CustName", "相关客户"},
                           {"CreateDate", "建档时间"}, {"EndDate", "截止日期"}, {"CompactAmount", "合同金额"},
                           {"LinkmanName", "联系人"}, {"OperaterName", "业务员"}})
            .ordered({QStringLiteral("OperateID")})
            .withDialog(QStringLiteral("新增业务"), Sets::kCustomerContracts)
            .printing(QStringLiteral("frCustomerOperate"), QStringLiteral("业务资料-打印")),
        SubPageDesc::grid(QStringLiteral("受聘员工"), Sets::kPlacedWorkers,
                          {{"YuangongID", "员工编号"}, {"Name", "姓名"}, {"NickName", "称呼"}, {"Sex", "性别"},
                           {"Department", "部门"}, {"GongzhongName", "工种"}, {"Health", "健康状况"},
                           {"Duty", "职务"}, {"Native", "籍贯"}})
            .hiding({QStringLiteral("Health")})
            .ordered({QStringLiteral("YuangongID")})
            .withDialog(QStringLiteral("新增员工"), Sets::kWorkers)
            .printing(QStringLiteral("frCustomerYuangong"), QStringLiteral("员工资料-打印")),
        SubPageDesc::grid(QStringLiteral("客户接触"), Sets::kCustomerHistory,
                          {{"LinkDate", "联系日期"}, {"LinkTime", "联系时间"}, {"Linkman", "联系人"},
                           {"Duty", "职务"}, {"LinkType", "联系方式"}, {"LinkContent", "联系内容"},
                           {"Charge", "费用开销"}, {"Address", "地点"}, {"Memo", "备注"}})
            .ordered({QStringLiteral("LinkDate"), QStringLiteral("LinkTime")})
            .withDialog(QStringLiteral("新增接触"), Sets::kCustomerHistory)
            .printing(QStringLiteral("frCustomerState"), QStringLiteral("客户接触-打印")),
        SubPageDesc::fields(QStringLiteral("其他资料"), Sets::kCustomerExtras,
                            {{"BankID", "开  户  银  行：", dictionary(Sets::kFinanceOrgans, "OrganID", "OrganName")},
                             {"Account", "银行 账号：", line()},
                             {"BankAddress", "开 户 行 地 址：", line()},
                             {"VATaxName", "增 值 税 户 名：", line()},
                             {"VATaxID", "增 值 税 税 号：", line()},
                             {"VATaxBank", "增值税开户银行：", line()},
                             {"VATaxAccount", "增值税银行账号：", line()},
                             {"VATaxAddress", "增值税地址：", line()},
                             {"VATaxPhone", "电　　  话：", line()}})
            .printing(QStringLiteral("frCustomerOther"), QStringLiteral("其他资料-打印")),
    };
    WindowCommand importing;
    importing.name = QStringLiteral("ListImport");
    importing.caption = QStringLiteral("导入客户资料...");
    importing.place = WindowCommand::Place::ListBar;
    // New customers: whoever may start one by "新增", while no row is in hand.
    importing.enabled = [](const CommandContext &c) { return c.state == Dataset::State::Browse && c.ops.insert; };
    importing.run = runs(&TfrmCustomers::Act_ImportExecute);
    d.commands = {importing};
    d.folder.family = &DocumentFolders::root;
    d.folder.codeField = QStringLiteral("CustId");
    d.folder.record = &DocumentFolders::customer;
    return d;
}

void TfrmCustomers::Act_ImportExecute()
{
    const QString line = description().logPrefix + QStringLiteral("-导入");
    if (!logCommand(line))
        return;
    if (!TfrmImport::run(this, *dataset()->database(), ImportTarget::customers(), line))
        return;
    // The list and the names every picker offers show the new customers.
    for (Dataset *set : {dataset(), TdmMain::instance()->dataset(Sets::kCustomerNames)})
        if (set->isActive() && !set->refresh())
            Prompts::instance().warn(set->lastError());
    updateCommands();
}

TfrmCustomers::TfrmCustomers(QWidget *parent) : ModuleFrame(description(), parent)
{
    // The contact-history dialog lives beside this window; the contact,
    // contract and worker dialogs come with their own modules.
    TfrmCustStateNew::installIfMissing();
    m_fields = new CustomerFields(form(), dataset(), CustomerFields::Place::DetailPage);
}

bool TfrmCustomers::applyUserFilter(Dataset *set)
{
    // The user's own customers only, compared exactly with the code as a
    // bound value: a quote in a user code is an ordinary character.
    set->setFilter(ownRecordsCondition(set->database()));
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
    if (!applyUserFilter(dataset()) || !openSets())
        return;
    TdmMain *dm = TdmMain::instance();
    dm->dataset(Sets::kCustomerContracts)->clearFilter();
    dm->dataset(Sets::kStaff)->clearFilter();
    applyUserFilter(dm->dataset(Sets::kCustomerNames));
    showList();
    showFolder();
    updateCommands();
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

void TfrmCustomers::beforeStore()
{
    emit folderChosen(m_fields->folder());
}

void TfrmCustomers::openQuery()
{
    TfrmCustomerQuery3 dlg(this);
    dlg.exec();
    showFolder();
    updateCommands();
}
