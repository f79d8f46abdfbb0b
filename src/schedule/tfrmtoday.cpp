#include "schedule/tfrmtoday.h"

#include "contracts/contracteditor.h"
#include "data/clock.h"
#include "data/condition.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/recordscope.h"
#include "data/schema.h"
#include "data/sharedsets.h"
#include "schedule/data/planperiod.h"
#include "schedule/tfrmboard.h"
#include "schedule/tfrmplan.h"
#include "ui/datagrid.h"
#include "ui/fieldbinder.h"
#include "ui/form.h"
#include "ui/prompts.h"
#include "ui/recordcommands.h"
#include "ui/recordnavigator.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {
Dataset *shared(const QString &name) { return TdmMain::instance()->dataset(name); }

// Everything shown but the fields the agenda lets the user change.
void readOnlyExcept(Form *f, const QStringList &editable)
{
    for (const FormRow &row : f->rows()) {
        if (editable.contains(row.field))
            continue;
        QWidget *w = f->widget(row.field);
        if (auto *e = qobject_cast<QLineEdit *>(w))
            e->setReadOnly(true); // a date field is a line edit too
        else if (auto *m = qobject_cast<QPlainTextEdit *>(w))
            m->setReadOnly(true);
        else if (w)
            w->setEnabled(false);
    }
}

// A few of a window's fields, in the agenda's order, each as that window
// describes it: what a plan or a contract field is stays said once. The
// agenda looks, it does not search or reckon: no pickers beside the
// fields, no calculator in a figure.
FormSpec picked(const FormSpec &from, const QStringList &fields)
{
    FormSpec out;
    for (const QString &f : fields)
        for (const FormRow &row : from)
            if (row.field == f) {
                out << row;
                out.back().opt.buttons.clear();
                if (row.type.kind == FieldKind::Number)
                    out.back().type = Field::line();
            }
    return out;
}
} // namespace

TfrmToday::TfrmToday(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmToday"));
    setWindowTitle(QStringLiteral("今日事"));
    auto *layout = new QVBoxLayout(this);
    m_pages = new QTabWidget(this);
    m_pages->addTab(contractPage(), QStringLiteral("今日到期业务资料"));
    m_pages->addTab(planPage(), QStringLiteral("今日日程安排"));
    m_pages->addTab(noticePage(), QStringLiteral("今日公告版信息"));
    layout->addWidget(m_pages, 1);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    auto *next = new QPushButton(QStringLiteral(">>下一步"), this);
    next->setObjectName(QStringLiteral("BtnNext"));
    next->setDefault(true);
    connect(next, &QPushButton::clicked, this, &QDialog::accept);
    row->addWidget(next);
    layout->addLayout(row);
    resize(760, 540);
}

QWidget *TfrmToday::contractPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    Dataset *contracts = shared(Sets::kContractList);
    m_contracts = new DataGrid(contracts,
                               {{"OperateID", "业务代码"}, {"OperateTitle", "业务标题"}, {"CustName", "客户名称"},
                                {"EndDate", "截止日期"}, {"CompactAmount", "合同金额"}, {"CurrName", "币别"},
                                {"InOrOut", "收支类型"}, {"WriteDate", "签约日期"}, {"OperateStateName", "业务状态"},
                                {"CreateDate", "建档日期"}},
                               QStringLiteral("TfrmToday.Contracts"), page);
    m_contracts->setGroupPanelVisible(false);
    layout->addWidget(m_contracts, 1);

    // Contracts ending within the next seven days, from a set of the
    // window's own: the filters the agenda leaves behind stay as they are.
    m_soon = new Dataset(contracts->database(), QStringLiteral("TfrmToday.Soon"),
                         Schema::table(QStringLiteral("tblOperates")), this);
    m_soon->addLookup(QStringLiteral("CustName"), {QStringLiteral("CustID")}, shared(Sets::kCustomerNames),
                      {QStringLiteral("CustId")}, QStringLiteral("CustName"));
    m_soon->setOrderBy({QStringLiteral("EndDate"), QStringLiteral("OperateID")});
    m_soonGrid = new DataGrid(m_soon,
                              {{"OperateID", "业务代码"}, {"OperateTitle", "业务标题"}, {"CustName", "客户名称"},
                               {"EndDate", "截止日期"}, {"CompactAmount", "合同金额"}, {"InOrOut", "收支类型"}},
                              QStringLiteral("TfrmToday.Soon"), page);
    m_soonGrid->setGroupPanelVisible(false);
    m_soonGrid->hide();
    layout->addWidget(m_soonGrid, 1);

    m_contractFields = new QWidget(page);
    auto *binder = new FieldBinder(contracts, m_contractFields);
    using namespace Field;
    FormSpec form = picked(ContractForm::rows(ContractForm::Host::DetailPage),
                           {"OperateID", "OperateTitle", "CustID", "CreateDate", "WriteDate", "CompactAmount", "Profit",
                            "Rate", "InOrOut", "EndDate", "OperateStateID", "CurrID", "RMB", "FilePath"});
    form.front().opt.note = QStringLiteral("（唯一业务编码标识）"); // nothing is typed here
    form.back().opt.height = 40;
    m_contractForm = new Form(form, binder, m_contractFields, 3);
    // The state is the one field changed here, for a user who may change contracts.
    readOnlyExcept(m_contractForm, Form::userMayChange(contracts, QStringLiteral("304"))
                                       ? QStringList{QStringLiteral("OperateStateID")}
                                       : QStringList());
    // Renminbi and the rate as the contract window shows them.
    ContractEditor::showComputed(m_contractForm, contracts, m_contractFields);
    layout->addWidget(m_contractFields);

    auto *row = new QHBoxLayout;
    row->addStretch(1);
    m_soonButton = new QPushButton(QStringLiteral("即将到期"), page);
    m_soonButton->setObjectName(QStringLiteral("BtnSoon"));
    m_soonButton->setCheckable(true);
    m_soonButton->setAutoDefault(false);
    m_soonButton->setToolTip(QStringLiteral("今后7天内到期的业务"));
    connect(m_soonButton, &QPushButton::toggled, this, &TfrmToday::showSoon);
    row->addWidget(m_soonButton);
    layout->addLayout(row);
    return page;
}

QWidget *TfrmToday::planPage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    Dataset *plans = shared(Sets::kPlans);
    const ModuleDesc schedule = TfrmPlan::description();
    m_plans = new DataGrid(plans, schedule.columns, QStringLiteral("TfrmToday.Plans"), page);
    // The date with its time of day shows whole.
    m_plans->setDefaultColumnWidths({{"PlanID", 50}, {"PlanDate", 140}, {"PlanTime", 70}});
    m_plans->setGroupPanelVisible(false);
    layout->addWidget(m_plans, 1);
    auto *fields = new QWidget(page);
    auto *binder = new FieldBinder(plans, fields);
    using namespace Field;
    FormSpec form = schedule.form;
    form.back().opt.height = 40;
    m_planForm = new Form(picked(form, {"PlanID", "PlanDate", "PlanTime", "Address", "AttendMan", "CustID", "Linkman",
                                        "OperateId", "Memo"}),
                          binder, fields, 3);
    readOnlyExcept(m_planForm, Form::userMayChange(plans, QStringLiteral("305")) ? QStringList{QStringLiteral("CustID")}
                                                                                 : QStringList());
    layout->addWidget(fields);
    return page;
}

QWidget *TfrmToday::noticePage()
{
    auto *page = new QWidget(this);
    auto *layout = new QVBoxLayout(page);
    Dataset *notices = shared(Sets::kNotices);
    m_notices = new DataGrid(notices, {{"BTitle", "主题"}, {"BDate", "公告日期"}, {"Man", "公告人"}, {"Memo", "事项描述"}},
                             QStringLiteral("TfrmToday.Notices"), page);
    m_notices->setGroupPanelVisible(false);
    m_notices->setStretchColumns(true);
    layout->addWidget(m_notices, 1);
    // The notices are gone through one by one; a change is stored on moving.
    auto *moves = new QHBoxLayout;
    moves->addStretch(1);
    m_noticeNavigator = new RecordNavigator(notices, TfrmBoard::fields(), page);
    m_noticeNavigator->addTo(moves, page);
    layout->addLayout(moves);
    auto *fields = new QWidget(page);
    auto *binder = new FieldBinder(notices, fields);
    m_noticeForm = new Form(TfrmBoard::fields(), binder, fields, 1);
    if (QWidget *memo = m_noticeForm->widget(QStringLiteral("Memo")))
        memo->setMaximumHeight(60); // the page is smaller than the board
    layout->addWidget(fields);
    return page;
}

void TfrmToday::prepare()
{
    m_prepared = true;
    Dataset *customers2 = shared(Sets::kCustomerNames);
    Database *db = customers2->database();
    if (!db)
        return;
    const QDate today = Clock::instance().today();
    const Condition own = ownRecordsCondition(db);
    const Condition dueToday = Condition::dateRange(QStringLiteral("EndDate"), today, today);
    auto warn = [](Dataset *d) { Prompts::instance().warn(d->lastError()); };
    if (!refilter(customers2, own))
        warn(customers2);
    for (const QString &name : {Sets::kContractStates, Sets::kCurrencies})
        if (Dataset *d = shared(name); !d->isActive() && !d->open())
            warn(d);
    Dataset *contracts = shared(Sets::kContractList);
    contracts->close();
    contracts->setFilter(own.isNull() ? dueToday : own && dueToday);
    if (!contracts->open())
        warn(contracts);
    Dataset *notices = shared(Sets::kNotices);
    notices->close();
    notices->setFilter(Condition::dateRange(QStringLiteral("BDate"), today, today));
    if (!notices->open())
        warn(notices);
    if (!PlanPeriod::showDay(shared(Sets::kPlans), today))
        warn(shared(Sets::kPlans));
    m_soon->setDatabase(db);
    const Condition soon = Condition::dateRange(QStringLiteral("EndDate"), today.addDays(1), today.addDays(7));
    m_soon->setFilter(own.isNull() ? soon : own && soon);
    if (m_soonButton->isChecked() && !m_soon->open())
        warn(m_soon);
}

void TfrmToday::showSoon(bool on)
{
    if (on && !m_soon->isActive() && m_soon->database() && !m_soon->open())
        Prompts::instance().warn(m_soon->lastError());
    m_soonGrid->setVisible(on);
    m_contracts->setVisible(!on);
    m_contractFields->setVisible(!on);
}

void TfrmToday::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!m_prepared)
        prepare();
}

void TfrmToday::done(int result)
{
    // A state or a customer picked here is stored as moving on would store
    // it. One the database or the user's rights refuse is said and given up:
    // the agenda stands between the login and the main window and must not
    // hold the user there.
    for (const QString &name : {Sets::kContractList, Sets::kPlans, Sets::kNotices}) {
        Dataset *d = shared(name);
        if (!storeCurrentRecord(d))
            d->cancel();
    }
    QDialog::done(result);
}
