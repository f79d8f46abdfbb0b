#include "workers/tfrmyuangong.h"

#include "customers/customerpicker.h"
#include "customers/customerview.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/documentfolders.h"
#include "data/recordscope.h"
#include "data/sharedsets.h"
#include "import/importtarget.h"
#include "importui/tfrmimport.h"
#include "ui/fieldbinder.h"
#include "ui/logcommand.h"
#include "ui/links.h"
#include "ui/personpages.h"
#include "ui/photobox.h"
#include "ui/prompts.h"
#include "ui/tfrmimage.h"
#include "workers/entrywarnings.h"
#include "workers/shusongview.h"
#include "workers/tfrmyuangongquery.h"
#include "workers/workerfields.h"
#include "workers/workerplacement.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
const QString kCustID = QStringLiteral("CustID");
const QString kShusongID = QStringLiteral("ShusongID");
const QString kLinkStyle = QStringLiteral("QLineEdit { color: #0645ad; text-decoration: underline; }");
} // namespace

ModuleDesc TfrmYuangong::description()
{
    ModuleDesc d;
    d.className = QStringLiteral("TfrmYuangong");
    d.caption = QStringLiteral("员工档案");
    d.listPage = QStringLiteral("员工档案列表");
    d.detailPage = QStringLiteral("员工档案详细档案");
    d.dataset = Sets::kWorkers;
    d.keyField = QStringLiteral("YuangongID");
    d.rightCode = QStringLiteral("601");
    d.logPrefix = QStringLiteral("内部管理-员工资料");
    // The store has always been logged under the window's own name.
    d.saveLogPrefix = QStringLiteral("内部管理-员工档案");
    d.orderBy = {QStringLiteral("YuangongID")};
    d.columns = {{"YuangongID", "员工编号"}, {"Name", "姓名"},          {"NickName", "称呼"},
                 {"Sex", "性别"},            {"Department", "部门"},    {"GongzhongName", "工种"},
                 {"Health", "健康状况"},     {"Duty", "职务"},          {"Native", "籍贯"}};
    d.form = WorkerFields::form(WorkerFields::Place::Window);
    d.listReport = QStringLiteral("frYuangong");
    d.detailReport = QStringLiteral("frYuangong");
    d.detailQuery = true;
    d.detailQueryAlways = true;
    d.deleteQuestion = QStringLiteral("您真的要删除该员工档案吗？");
    d.navigator = true;
    WindowCommand importing;
    importing.name = QStringLiteral("ListImport");
    importing.caption = QStringLiteral("导入员工资料...");
    importing.place = WindowCommand::Place::ListBar;
    // New workers: whoever may start one by "新增", while no row is in hand.
    importing.enabled = [](const CommandContext &c) { return c.state == Dataset::State::Browse && c.ops.insert; };
    importing.run = runs(&TfrmYuangong::Act_ImportExecute);
    d.commands = {importing};
    d.folder.family = &DocumentFolders::yuangongFamily;
    d.folder.codeField = QStringLiteral("YuangongID");
    d.folder.record = &DocumentFolders::yuangong;
    return d;
}

void TfrmYuangong::Act_ImportExecute()
{
    const QString line = description().logPrefix + QStringLiteral("-导入");
    if (!logCommand(line))
        return;
    if (!TfrmImport::run(this, *dataset()->database(), ImportTarget::workers(), line))
        return;
    // Read again, with a search in force kept in force.
    if (!dataset()->refresh())
        Prompts::instance().warn(dataset()->lastError());
    updateCommands();
}

TfrmYuangong::TfrmYuangong(QWidget *parent) : ModuleFrame(description(), parent)
{
    buildSide();
    using namespace Field;
    m_state = PersonPages::addStatePage(
        this, QStringLiteral("员工状态信息"),
        {{"InTime", "入职时间：", date()},
         {"State", "在职状态：", fixedList({QStringLiteral("在职"), QStringLiteral("离职")})},
         {"OutTime", "离职时间：", date()},
         {"OutReason", "离职原因：", memo(), opts().wide(2).onNewLine().maxHeight(60)}},
        2, [this] { BtnStateSaveClick(); });
    m_customer = new CustomerView(dataset()->database(), this);
    addSubPage(QStringLiteral("受聘客户信息"), m_customer);
    m_unit = new ShusongView(dataset()->database(), this);
    addSubPage(QStringLiteral("输送单位信息"), m_unit);

    edit(QStringLiteral("Email"))->setStyleSheet(kLinkStyle);
    connect(form()->button(QStringLiteral("BtnMail")), &QPushButton::clicked, this, &TfrmYuangong::BtnMailClick);
    connect(form()->button(QStringLiteral("BtnCustQuery")), &QPushButton::clicked, this,
            &TfrmYuangong::BtnCustQueryClick);
    // A customer chosen in the drop-down is asked about at once, after the
    // binder has put it into the row.
    if (auto *customers = qobject_cast<QComboBox *>(form()->widget(kCustID)))
        connect(customers, &QComboBox::activated, this, [this] { confirmPlacement(); });
    m_warnings = WorkerFields::watchNumbers(form(), dataset(), this);

    // The views follow the worker while the detail page shows it.
    Dataset *set = dataset();
    auto follow = [this] { followViews(); };
    connect(set, &Dataset::currentRowChanged, this, follow);
    connect(set, &Dataset::stateChanged, this, follow);
    connect(set, &Dataset::stateChanged, this, [this] {
        if (!dataset()->isEditing())
            m_confirmedCustomer.clear();
    });
    connect(set, &Dataset::rowsReset, this, follow);
    connect(set, &Dataset::fieldChanged, this, [this](const QString &field) {
        if (field.compare(kCustID, Qt::CaseInsensitive) == 0 || field.compare(kShusongID, Qt::CaseInsensitive) == 0)
            followViews();
    });
    connect(pages(), &QTabWidget::currentChanged, this, follow);
    connect(subPages(), &QTabWidget::currentChanged, this, follow);
}

void TfrmYuangong::buildSide()
{
    const PersonPages::PhotoColumn photo = PersonPages::addPhotoColumn(this);
    m_photo = photo.photo;
    m_zoom = photo.zoom;
    detailSide()->addStretch(1);
}

QLineEdit *TfrmYuangong::edit(const QString &field) const
{
    return qobject_cast<QLineEdit *>(form()->widget(field));
}

Form *TfrmYuangong::customerView() const { return m_customer->form(); }
Form *TfrmYuangong::unitView() const { return m_unit->form(); }

void TfrmYuangong::open()
{
    // A worker half typed is stored as moving to another row would store
    // it; when that is refused the user is back at the row to finish it.
    if (dataset()->isEditing() && !storeRow()) {
        updateCommands();
        return;
    }
    TdmMain *dm = TdmMain::instance();
    // The drop-down of customers: those the user may see.
    Dataset *customers = dm->dataset(Sets::kCustomerNames);
    const Condition own = ownRecordsCondition(customers->database());
    if ((!customers->isActive() || !(customers->filter() == own)) && !refilter(customers, own))
        Prompts::instance().warn(customers->lastError());
    for (const QString &name : {Sets::kDepartments, Sets::kTrades, Sets::kSkillLevels, Sets::kHealthChecks,
                                Sets::kUnitNames}) {
        Dataset *s = dm->dataset(name);
        if (!s->isActive() && !s->open())
            Prompts::instance().warn(s->lastError());
    }
    // Read again, with a search in force kept in force.
    Dataset *set = dataset();
    if (!(set->isActive() ? set->refresh() : set->open())) {
        Prompts::instance().warn(set->lastError());
        return;
    }
    m_customer->forget();
    m_unit->forget();
    showList();
    emit folderChosen(DocumentFolders::yuangongFamily());
    updateCommands();
}

QString TfrmYuangong::typedCode() const
{
    return edit(QStringLiteral("YuangongID"))->text().trimmed();
}

void TfrmYuangong::followViews()
{
    if (!showingDetail())
        return;
    const bool row = dataset()->isActive() && dataset()->currentRow() >= 0;
    QWidget *page = subPages()->currentWidget();
    // Only the page on show reads its record.
    if (page == m_customer)
        m_customer->showCustomer(row ? dataset()->value(kCustID).toString() : QString());
    else if (page == m_unit)
        m_unit->showUnit(row ? dataset()->value(kShusongID).toString() : QString());
}

void TfrmYuangong::afterNew()
{
    m_customer->forget();
    m_unit->forget();
}

void TfrmYuangong::afterModify()
{
    emit folderChosen(DocumentFolders::yuangongFamily());
}

void TfrmYuangong::rowChosen()
{
    showFolder();
}

bool TfrmYuangong::confirmPlacement()
{
    // Asked once for each customer the worker is moved to.
    const QString now = dataset()->value(kCustID).toString();
    if (!WorkerPlacement::movesToAnotherCustomer(dataset()) || now == m_confirmedCustomer)
        return true;
    if (!WorkerPlacement::confirm(dataset())) {
        focusField(kCustID);
        return false;
    }
    m_confirmedCustomer = now;
    return true;
}

bool TfrmYuangong::checkSave()
{
    m_warnings->warnPending();
    return confirmPlacement();
}

void TfrmYuangong::beforeStore()
{
    emit folderChosen(DocumentFolders::yuangongFamily());
}

void TfrmYuangong::afterRefresh()
{
    m_customer->forget();
    m_unit->forget();
    followViews();
}

void TfrmYuangong::openQuery()
{
    TfrmYuangongQuery dlg(dataset(), this);
    dlg.exec();
    showFolder();
    updateCommands();
}

void TfrmYuangong::PhotoClick()
{
    emit m_photo->clicked();
}

void TfrmYuangong::BtnZoomClick()
{
    m_zoom->click();
}

void TfrmYuangong::BtnMailClick()
{
    openMailTo(edit(QStringLiteral("Email"))->text());
}

void TfrmYuangong::BtnCustQueryClick()
{
    TfrmCustomerQuery2 picker(dataset(), kCustID, this);
    if (picker.exec() == QDialog::Accepted)
        confirmPlacement();
    binder()->refresh();
    followViews();
}

void TfrmYuangong::BtnStateEditClick()
{
    PersonPages::editState(this, m_state);
}

void TfrmYuangong::BtnStateSaveClick()
{
    // Without the checks this stored a worker without code or name, which
    // nothing could find again; still no log line.
    if (!runSaveChecks())
        return;
    const QString folder = DocumentFolders::yuangong(typedCode());
    emit folderChosen(folder);
    if (dataset()->isEditing()) {
        dataset()->setValue(QStringLiteral("FilePath"), folder);
        storeRow();
    }
}
