#include "analyses/tfrmsortanalyse.h"

#include "data/dmmain.h"
#include "ui/dateedit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPushButton>

namespace {

AnalysisPanel::Options optionsOf(Rankings::Kind k)
{
    switch (k) {
    case Rankings::Kind::Contracts:
        return {QStringLiteral("TfrmOperateSortAnalyse"), QStringLiteral("业务排行榜")};
    case Rankings::Kind::Customers:
        return {QStringLiteral("TfrmCustomerSortAnalyse"), QStringLiteral("客户排行榜")};
    case Rankings::Kind::Staff:
        break;
    }
    return {QStringLiteral("TfrmOperaterSortAnalyse"), QStringLiteral("业务员绩效排行榜")};
}

} // namespace

TfrmSortAnalyse::TfrmSortAnalyse(Rankings::Kind kind, QWidget *parent)
    : AnalysisPanel(optionsOf(kind), parent), m_kind(kind)
{
    addPeriod(&m_from, &m_to);
    if (kind != Rankings::Kind::Staff) {
        m_direction = new QComboBox(this);
        m_direction->setObjectName(QStringLiteral("ComboInOut"));
        m_direction->setAccessibleName(QStringLiteral("收支"));
        m_direction->addItems({QStringLiteral("收入"), QStringLiteral("支出")});
        bar()->addWidget(m_direction);
    }
    bar()->addStretch(1);
    connect(addButton(QStringLiteral("BtnRefresh"), QStringLiteral("刷新")), &QPushButton::clicked, this,
            &TfrmSortAnalyse::BtnRefreshClick);
    addCloseButton();
}

void TfrmSortAnalyse::open() { resetPeriod(m_from, m_to); }

void TfrmSortAnalyse::BtnRefreshClick()
{
    Database *db = TdmMain::instance()->database();
    if (!db)
        return;
    const Direction d = m_direction && m_direction->currentIndex() == 1 ? Direction::Expense : Direction::Income;
    showResult(Rankings::run(*db, m_kind, m_from->date(), m_to->date(), d, kMaxBars + 1));
}
