#include "schedule/tfrmplan.h"

#include "customers/customerpicker.h"
#include "customers/customerview.h"
#include "customers/tfrmcuststatenew.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/documentfolders.h"
#include "data/recordscope.h"
#include "data/sharedsets.h"
#include "data/tablerules.h"
#include "schedule/data/planperiod.h"
#include "schedule/tfrmplanquery.h"
#include "ui/datagrid.h"
#include "ui/fieldbinder.h"
#include "ui/prompts.h"

#include <QAction>
#include <QEvent>
#include <QTabBar>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolBar>

const QString TfrmPlan::kCloseQuestion = QStringLiteral("日程安排尚未保存，保存吗？");

namespace {
const QString kCustID = QStringLiteral("CustID");
}

ModuleDesc TfrmPlan::description(Place place)
{
    ModuleDesc d;
    d.className = place == Place::EditorWindow ? QStringLiteral("TfrmPlanNew")
        : place == Place::ListWindow           ? QStringLiteral("TfrmPlanList")
                                               : QStringLiteral("TfrmPlan");
    d.caption = QStringLiteral("日程安排");
    d.listPage = QStringLiteral("日程安排列表");
    d.detailPage = QStringLiteral("日程详细安排");
    d.dataset = Sets::kPlans;
    d.keyField = QStringLiteral("PlanID");
    d.rightCode = QStringLiteral("305");
    d.logPrefix = QStringLiteral("客户业务管理-日程安排");
    d.orderBy = {QStringLiteral("PlanID")};
    d.columns = {{"PlanID", "序号"},     {"PlanDate", "日期"},  {"PlanTime", "时间"},
                 {"Address", "地址"},    {"CustName", "客户"},  {"Linkman", "联系人"},
                 {"OperateId", place == Place::ListWindow ? "业务项" : "业务内容"},
                 {"AttendMan", "参加人员"}, {"Memo", "备注"}};
    using namespace Field;
    d.form = {
        {"PlanID", "序    号：", line()},
        {"PlanDate", "日    期：", date()},
        {"PlanTime", "时    间：", Field::mask(QStringLiteral("99:99:99;_"))},
        {"Address", "地    点：", line()},
        {"AttendMan", "参加人员：", line()},
        {"CustID", "客    户：", dictionary(Sets::kCustomerNames, "CustId", "CustName"),
         opts().withButton("BtnCustQuery", "查询...")},
        {"Linkman", "联 系 人：", line()},
        {"OperateId", "业务项目：", line()},
        {"Memo", "备注：", memo(), opts().wide(2).onNewLine().maxHeight(50)},
    };
    d.subPages = {
        SubPageDesc::grid(QStringLiteral("业务资料"), Sets::kCustomerContracts,
                          {{"OperateID", "业务编码"}, {"OperateTitle", "业务标题"}, {"CustName", "相关客户"},
                           {"CreateDate", "建档时间"}, {"EndDate", "截止日期"}, {"CompactAmount", "合同金额"},
                           {"LinkmanName", "联系人"}, {"OperaterName", "业务员"}})
            .ordered({QStringLiteral("OperateID")})
            .withDialog(QStringLiteral("显示业务资料"), Sets::kCustomerContracts),
        SubPageDesc::grid(QStringLiteral("客户接触"), Sets::kCustomerHistory,
                          {{"LinkDate", "联系日期"}, {"LinkTime", "联系时间"}, {"Linkman", "联系人"},
                           {"Duty", "职务"}, {"LinkType", "联系方式"}, {"LinkContent", "联系内容"},
                           {"Charge", "费用开销"}, {"Address", "地点"}, {"Memo", "备注"}})
            .ordered({QStringLiteral("LinkDate"), QStringLiteral("LinkTime")})
            .withDialog(QStringLiteral("查看客户接触信息"), Sets::kCustomerHistory),
    };
    d.listReport = QStringLiteral("frPlan");
    d.detailReport = QStringLiteral("frPlanDetail");
    return d;
}

TfrmPlan::TfrmPlan(Place place, QWidget *parent) : ModuleFrame(description(place), parent), m_place(place)
{
    TfrmCustStateNew::installIfMissing();
    // The date with its time of day shows whole.
    grid()->setDefaultColumnWidths({{"PlanID", 50}, {"PlanDate", 140}, {"PlanTime", 70}});
    if (auto *no = qobject_cast<QLineEdit *>(form()->widget(QStringLiteral("PlanID"))))
        no->setReadOnly(true); // numbered by the database
    connect(form()->button(QStringLiteral("BtnCustQuery")), &QPushButton::clicked, this, &TfrmPlan::BtnCustQueryClick);
    m_view = new CustomerView(dataset()->database(), this,
                              place == Place::EditorWindow ? CustomerView::Style::PlanWindow
                                                           : CustomerView::Style::Standard);
    subPages()->insertTab(0, m_view, QStringLiteral("客户资料"));
    subPages()->setCurrentIndex(0);

    // Each window shows one page of the two; the main window's own area both.
    if (place != Place::Pages) {
        const int own = place == Place::EditorWindow ? 1 : 0;
        pages()->tabBar()->hide();
        pages()->setCurrentIndex(own);
        connect(pages(), &QTabWidget::currentChanged, this, [this, own](int index) {
            if (index != own)
                pages()->setCurrentIndex(own);
        });
    }
    if (place == Place::EditorWindow) {
        // Entering the customer offers every customer, not only the user's own.
        if (QWidget *customer = form()->widget(kCustID))
            customer->installEventFilter(this);
    }

    if (auto *bar = detailPage()->findChild<QToolBar *>()) {
        // The editor window closes where the main window's page gives up.
        if (place == Place::EditorWindow) {
            if (QAction *cancel = command(QStringLiteral("DetailCancel")))
                cancel->setVisible(false);
            m_close = bar->addAction(QStringLiteral("关闭"), this, &TfrmPlan::BtnCloseClick);
            m_close->setObjectName(QStringLiteral("DetailClose"));
        }
        // The record navigator: moving stores a plan in hand as any move does.
        bar->addSeparator();
        enum class Move { First, Prior, Next, Last };
        const std::tuple<const char *, const char *, const char *, Move> moves[] = {
            {"NavFirst", "|◀", "第一条", Move::First},
            {"NavPrior", "◀", "上一条", Move::Prior},
            {"NavNext", "▶", "下一条", Move::Next},
            {"NavLast", "▶|", "最后一条", Move::Last}};
        for (const auto &[name, text, tip, move] : moves) {
            QAction *a = bar->addAction(QString::fromUtf8(text));
            a->setObjectName(QString::fromLatin1(name));
            a->setToolTip(QString::fromUtf8(tip));
            connect(a, &QAction::triggered, this, [this, move = move] {
                Dataset *set = dataset();
                if (!set->isActive() || set->isEmpty())
                    return;
                const int row = set->currentRow();
                bool ok = true;
                if (move == Move::Last)
                    ok = set->last();
                else if (move == Move::First)
                    ok = row == 0 || set->first();
                else if (move == Move::Prior)
                    ok = row <= 0 || set->prior();
                else if (row + 1 < set->rowCount() || set->canFetchMore())
                    ok = set->next();
                if (!ok)
                    Prompts::instance().warn(set->lastError());
                emit folderChosen(DocumentFolders::plans());
            });
        }
    }

    Dataset *set = dataset();
    auto follow = [this] { followCustomer(); };
    connect(set, &Dataset::currentRowChanged, this, follow);
    connect(set, &Dataset::rowsReset, this, follow);
    connect(set, &Dataset::fieldChanged, this, [this](const QString &field) {
        if (field.compare(kCustID, Qt::CaseInsensitive) == 0)
            followCustomer();
    });
    connect(pages(), &QTabWidget::currentChanged, this, follow);
}

void TfrmPlan::followCustomer()
{
    Dataset *set = dataset();
    if (!showingDetail() || !set->isActive()) {
        if (!set->isActive())
            m_view->showCustomer({});
        return;
    }
    const QString code = set->currentRow() >= 0 ? set->value(kCustID).toString() : QString();
    m_view->showCustomer(code);
    // The contracts and the contact history below are those of the plan's
    // customer, where the customer list holds it.
    Dataset *customers = TdmMain::instance()->dataset(Sets::kCustomerList);
    if (!code.isEmpty() && customers->isActive() && customers->value(QStringLiteral("CustId")).toString() != code
        && !customers->isEditing())
        customers->locate(QStringLiteral("CustId"), code);
}

void TfrmPlan::open()
{
    if (dataset()->isEditing() && !storeRow()) {
        updateCommands();
        return;
    }
    TdmMain *dm = TdmMain::instance();
    for (const QString &name : {Sets::kCustomerList, Sets::kCustomerContracts, Sets::kCustomerHistory}) {
        Dataset *s = dm->dataset(name);
        if (!s->isActive() && !s->open())
            Prompts::instance().warn(s->lastError());
    }
    Dataset *customers2 = dm->dataset(Sets::kCustomerNames);
    if (!refilter(customers2, ownRecordsCondition(dataset()->database())))
        Prompts::instance().warn(customers2->lastError());
    // Every plan; the agenda's "today" stays until a period query lifts it.
    if (!PlanPeriod::showAll(dataset(), false))
        Prompts::instance().warn(dataset()->lastError());
    m_view->forget();
    showList();
    emit folderChosen(DocumentFolders::plans());
    updateCommands();
}

void TfrmPlan::prepareEditing()
{
    TdmMain *dm = TdmMain::instance();
    for (const QString &name : {Sets::kCustomerNames, Sets::kCustomerList, Sets::kCustomerContracts,
                                Sets::kCustomerHistory}) {
        Dataset *s = dm->dataset(name);
        if (!s->isActive() && !s->open())
            Prompts::instance().warn(s->lastError());
    }
    m_view->forget();
    followCustomer();
    emit folderChosen(DocumentFolders::plans());
}

void TfrmPlan::afterNew()
{
    prepareEditing();
    if (m_place != Place::EditorWindow)
        emit editorWanted();
}

void TfrmPlan::afterModify()
{
    prepareEditing();
    if (m_place != Place::EditorWindow)
        emit editorWanted();
}

bool TfrmPlan::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && m_place == Place::EditorWindow) {
        Dataset *customers2 = TdmMain::instance()->dataset(Sets::kCustomerNames);
        if (!customers2->filter().isNull() && !refilter(customers2, Condition()))
            Prompts::instance().warn(customers2->lastError());
    }
    return ModuleFrame::eventFilter(watched, event);
}
void TfrmPlan::rowChosen() { emit folderChosen(DocumentFolders::plans()); }
void TfrmPlan::beforeStore() { emit folderChosen(DocumentFolders::plans()); }

void TfrmPlan::afterRefresh()
{
    // Every plan again, a filter left on the set staying.
    if (!PlanPeriod::showAll(dataset(), false))
        Prompts::instance().warn(dataset()->lastError());
    m_view->forget();
    followCustomer();
}

void TfrmPlan::openQuery()
{
    TfrmPlanQuery dlg(dataset(), this);
    dlg.exec();
    m_view->forget();
    updateCommands();
}

void TfrmPlan::BtnCustQueryClick()
{
    TfrmCustomerQuery2 picker(dataset(), kCustID, this);
    picker.exec();
    binder()->refresh();
    followCustomer();
}

void TfrmPlan::BtnCloseClick()
{
    Dataset *set = dataset();
    if (set->isEditing()) {
        if (!Prompts::instance().askYesNo(kCloseQuestion)) {
            detailCancel();
        } else {
            // The checks of "保存" but the contact person, then the store.
            QVector<RequiredField> required;
            if (const TableRules *r = rules())
                for (const RequiredField &f : r->required)
                    if (f.field.compare(QLatin1String("Linkman"), Qt::CaseInsensitive) != 0)
                        required << f;
            if (!form()->checkRequired(required, [](QWidget *w) { w->setFocus(Qt::OtherFocusReason); }))
                return;
            emit folderChosen(DocumentFolders::plans());
            if (!storeRow())
                return;
        }
    }
    updateCommands();
    emit listWanted();
}
