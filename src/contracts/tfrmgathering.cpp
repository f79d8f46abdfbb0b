#include "contracts/tfrmgathering.h"

#include "contracts/tfrminoutquery.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/receivables.h"
#include "data/sharedsets.h"
#include "data/userrights.h"
#include "ui/datagrid.h"
#include "ui/logcommand.h"
#include "ui/moduleframe.h"
#include "ui/prompts.h"

#include <QAction>
#include <QLabel>
#include <QToolBar>
#include <QVBoxLayout>

TfrmGathering::TfrmGathering(Kind kind, QWidget *parent)
    : ModulePanel(parent), m_kind(kind),
      m_set(TdmMain::instance()->dataset(kind == Kind::Receivables ? Sets::kReceivables : Sets::kPayables))
{
    const bool in = kind == Kind::Receivables;
    setObjectName(in ? QStringLiteral("TfrmGathering") : QStringLiteral("TfrmPayment"));
    setWindowTitle(in ? QStringLiteral("应收账款") : QStringLiteral("应付账款"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const std::pair<const char *, void (TfrmGathering::*)()> commands[] = {
        {"刷新", &TfrmGathering::BtnRefreshClick},
        {"查询", &TfrmGathering::BtnQueryClick},
        {"打印", &TfrmGathering::BtnPrintClick},
        {"关闭", &TfrmGathering::BtnCloseClick}};
    const char *names[] = {"BtnRefresh", "BtnQuery", "BtnPrint", "BtnClose"};
    for (int i = 0; i < 4; ++i) {
        QAction *a = bar->addAction(QString::fromUtf8(commands[i].first), this, commands[i].second);
        a->setObjectName(QString::fromLatin1(names[i]));
        m_commands << a;
    }
    layout->addWidget(bar);
    m_grid = new DataGrid(m_set,
                          {{"OperateID", "业务编码"},
                           {"OperateTitle", "业务标题"},
                           {"CustID", "客户代码"},
                           {"CustName", "客户名称"},
                           {"WriteDate", "签约日期"},
                           {"CurrID", "币别"},
                           {"CompactAmount", "合同金额"},
                           {"RMB", "折人民币"},
                           {"EndDate", "截止日期"},
                           {"sumRMB", in ? "已收账款" : "已付账款"},
                           {in ? "gathering" : "Payment", in ? "未收账款" : "未付账款"}},
                          objectName() + QStringLiteral(".List"), this);
    // Eleven columns in the main window's fixed width: codes, dates and
    // the currency need less than the default, so the sums show too.
    m_grid->setDefaultColumnWidths({{"OperateID", 72},
                                    {"OperateTitle", 100},
                                    {"CustID", 60},
                                    {"CustName", 72},
                                    {"WriteDate", 76},
                                    {"CurrID", 40},
                                    {"CompactAmount", 80},
                                    {"RMB", 80},
                                    {"EndDate", 76},
                                    {"sumRMB", 80},
                                    {in ? "gathering" : "Payment", 80}});
    layout->addWidget(m_grid, 1);
}

QString TfrmGathering::logPrefix() const
{
    return m_kind == Kind::Receivables ? QStringLiteral("客户业务管理-应收账款") : QStringLiteral("客户业务管理-应付账款");
}

QString TfrmGathering::rightCode() const
{
    return m_kind == Kind::Receivables ? QStringLiteral("306") : QStringLiteral("307");
}

QAction *TfrmGathering::command(const QString &objectName) const
{
    for (QAction *a : m_commands)
        if (a->objectName() == objectName)
            return a;
    return nullptr;
}

void TfrmGathering::updateCommands()
{
    const UserRights::Ops ops = UserRights::current().ops(rightCode());
    command(QStringLiteral("BtnQuery"))->setEnabled(ops.query);
    command(QStringLiteral("BtnPrint"))->setEnabled(ops.print);
}

void TfrmGathering::showEvent(QShowEvent *event)
{
    ModulePanel::showEvent(event);
    updateCommands();
}

bool TfrmGathering::read(const QDate &from, const QDate &to)
{
    const Receivables::Statement st =
        Receivables::statement(*m_set->database(), m_kind == Kind::Payables, from, to);
    m_set->close();
    m_set->setSql(st.sql, st.values);
    if (!m_set->open()) {
        Prompts::instance().warn(m_set->lastError());
        return false;
    }
    m_from = from;
    m_to = to;
    // Whole codes ("HT0000002", "KH0001") and names; the rest scrolls.
    m_grid->fitColumnsToContents();
    return true;
}

void TfrmGathering::open()
{
    read({}, {});
    updateCommands();
}

bool TfrmGathering::applyPeriod(const QDate &from, const QDate &to) { return read(from, to); }

void TfrmGathering::BtnRefreshClick()
{
    if (!logCommand(logPrefix() + QStringLiteral("-刷新")))
        return;
    // Today's figures, for the period in force.
    read(m_from, m_to);
}

void TfrmGathering::BtnQueryClick()
{
    if (!logCommand(logPrefix() + QStringLiteral("-查询")))
        return;
    TfrmInOutQuery dlg(this, this);
    dlg.exec();
}

void TfrmGathering::BtnPrintClick()
{
    if (!logCommand(logPrefix() + QStringLiteral("-打印")))
        return;
    ModuleFrame::print(m_set, m_kind == Kind::Receivables ? QStringLiteral("frGathering") : QStringLiteral("frPayment"),
                       this);
}

void TfrmGathering::BtnCloseClick() { emit closeRequested(); }
