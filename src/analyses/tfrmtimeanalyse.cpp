#include "analyses/tfrmtimeanalyse.h"

#include "analyses/tfrmseasonquery.h"
#include "analyses/tfrmtimesectquery.h"
#include "analyses/tfrmyearquery.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

TfrmTimeAnalyse::TfrmTimeAnalyse(QWidget *parent)
    : AnalysisPanel({QStringLiteral("TfrmTimeAnalyse"), QStringLiteral("按时间分析")}, parent)
{
    bar()->addWidget(new QLabel(QStringLiteral("请选择按时间分析的内容："), this));
    m_content = new QComboBox(this);
    m_content->setObjectName(QStringLiteral("ComboContent"));
    m_content->setAccessibleName(QStringLiteral("分析内容"));
    m_content->addItems({QStringLiteral("按年度业务分析"), QStringLiteral("按季度业务分析"), QStringLiteral("选择时间段业务分析")});
    m_direction = new QComboBox(this);
    m_direction->setObjectName(QStringLiteral("ComboInOut"));
    m_direction->setAccessibleName(QStringLiteral("收支"));
    m_direction->addItems({QStringLiteral("收入"), QStringLiteral("支出")});
    bar()->addWidget(m_content);
    bar()->addWidget(m_direction);
    bar()->addStretch(1);
    connect(addButton(QStringLiteral("BtnQuery"), QStringLiteral("查询")), &QPushButton::clicked, this,
            &TfrmTimeAnalyse::BtnQueryClick);
    addCloseButton();
}

Direction TfrmTimeAnalyse::pieDirection() const
{
    return m_direction->currentIndex() == 1 ? Direction::Expense : Direction::Income;
}

void TfrmTimeAnalyse::BtnQueryClick()
{
    switch (m_content->currentIndex()) {
    case 1: {
        TfrmSeasonQuery dlg(this);
        dlg.exec();
        break;
    }
    case 2: {
        TfrmTimeSectQuery dlg(this);
        dlg.exec();
        break;
    }
    default: {
        TfrmYearQuery dlg(this);
        dlg.exec();
        break;
    }
    }
}
