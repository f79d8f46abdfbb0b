#include "analyses/tfrmseasonquery.h"

#include "analyses/tfrmtimeanalyse.h"
#include "analyses/tfrmyearquery.h"
#include "analyses/data/timeanalyses.h"
#include "data/dmmain.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

TfrmSeasonQuery::TfrmSeasonQuery(TfrmTimeAnalyse *analysis) : QDialog(analysis), m_analysis(analysis)
{
    setObjectName(QStringLiteral("TfrmSeasonQuery"));
    setWindowTitle(QStringLiteral("按季度业务分析"));
    auto *layout = new QGridLayout(this);
    auto *yearLabel = new QLabel(QStringLiteral("请选择查询年份："), this);
    m_year = TfrmYearQuery::makeYearBox(this);
    yearLabel->setBuddy(m_year);
    m_year->setAccessibleName(yearLabel->text());
    auto *quarterLabel = new QLabel(QStringLiteral("请选择查询季度："), this);
    m_quarter = new QComboBox(this);
    m_quarter->setObjectName(QStringLiteral("ComboQuarter"));
    m_quarter->addItems({QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")});
    m_quarter->setCurrentIndex(-1);
    quarterLabel->setBuddy(m_quarter);
    m_quarter->setAccessibleName(quarterLabel->text());
    layout->addWidget(yearLabel, 0, 0);
    layout->addWidget(m_year, 0, 1);
    layout->addWidget(quarterLabel, 1, 0);
    layout->addWidget(m_quarter, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("BtnOk"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 2, 0, 1, 2);
    connect(ok, &QPushButton::clicked, this, &TfrmSeasonQuery::BtnOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_year->setFocus();
}

void TfrmSeasonQuery::BtnOkClick()
{
    if (m_quarter->currentIndex() < 0) {
        Prompts::instance().warn(QStringLiteral("请选择季度！"));
        m_quarter->setFocus();
        return;
    }
    const std::optional<int> y = TfrmYearQuery::checkedYear(m_year);
    if (!y)
        return;
    if (Database *db = TdmMain::instance()->database())
        m_analysis->showResult(
            TimeAnalyses::quarter(*db, *y, m_quarter->currentIndex() + 1, m_analysis->pieDirection()));
    accept();
}
