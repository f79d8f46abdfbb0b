#include "analyses/tfrmfinanceanalyse.h"

#include "analyses/data/classanalyses.h"
#include "data/dmmain.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

TfrmFinanceAnalyse::TfrmFinanceAnalyse(QWidget *parent)
    : AnalysisPanel({QStringLiteral("TfrmFinanceAnalyse"), QStringLiteral("资金分配分析"), false, false}, parent)
{
    bar()->addWidget(new QLabel(QStringLiteral("请选择资金分配内容分析："), this));
    m_kind = new QComboBox(this);
    m_kind->setObjectName(QStringLiteral("ComboKind"));
    m_kind->setAccessibleName(QStringLiteral("资金分配内容"));
    m_kind->addItems({QStringLiteral("应收账款分析"), QStringLiteral("应付账款分析")});
    bar()->addWidget(m_kind);
    bar()->addStretch(1);
    connect(addButton(QStringLiteral("BtnRefresh"), QStringLiteral("刷新")), &QPushButton::clicked, this,
            &TfrmFinanceAnalyse::BtnRefreshClick);
    addCloseButton();
}

void TfrmFinanceAnalyse::BtnRefreshClick()
{
    if (Database *db = TdmMain::instance()->database())
        showResult(ClassAnalyses::finance(*db, m_kind->currentIndex() == 1 ? Direction::Expense : Direction::Income,
                                          kMaxBars + 1));
}
