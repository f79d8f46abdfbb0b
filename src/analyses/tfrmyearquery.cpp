#include "analyses/tfrmyearquery.h"

#include "analyses/data/analysisformat.h"
#include "analyses/tfrmtimeanalyse.h"
#include "analyses/data/timeanalyses.h"
#include "data/clock.h"
#include "data/dmmain.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

QComboBox *TfrmYearQuery::makeYearBox(QWidget *parent)
{
    auto *box = new QComboBox(parent);
    box->setObjectName(QStringLiteral("ComboYear"));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    for (int y = 2000; y <= 2010; ++y)
        box->addItem(QString::number(y));
    // The year as a number, whatever the desktop's way of writing dates.
    box->setEditText(QString::number(Clock::instance().today().year()));
    return box;
}

std::optional<int> TfrmYearQuery::checkedYear(QComboBox *box)
{
    const std::optional<int> y = AnalysisFormat::year(box->currentText());
    if (!y) {
        Prompts::instance().warn(QStringLiteral("请输入正确的年份！"));
        box->setFocus();
    }
    return y;
}

TfrmYearQuery::TfrmYearQuery(TfrmTimeAnalyse *analysis) : QDialog(analysis), m_analysis(analysis)
{
    setObjectName(QStringLiteral("TfrmYearQuery"));
    setWindowTitle(QStringLiteral("按年度业务分析"));
    auto *layout = new QGridLayout(this);
    auto *label = new QLabel(QStringLiteral("请选择查询年份："), this);
    m_year = makeYearBox(this);
    label->setBuddy(m_year);
    m_year->setAccessibleName(label->text());
    layout->addWidget(label, 0, 0);
    layout->addWidget(m_year, 0, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("BtnOk"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons, 1, 0, 1, 2);
    connect(ok, &QPushButton::clicked, this, &TfrmYearQuery::BtnOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_year->setFocus();
}

void TfrmYearQuery::BtnOkClick()
{
    const std::optional<int> y = checkedYear(m_year);
    if (!y)
        return;
    if (Database *db = TdmMain::instance()->database())
        m_analysis->showResult(TimeAnalyses::year(*db, *y, m_analysis->pieDirection()));
    accept();
}
