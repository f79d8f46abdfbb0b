#include "analyses/tfrmtimesectquery.h"

#include "analyses/tfrmtimeanalyse.h"
#include "analyses/data/timeanalyses.h"
#include "data/clock.h"
#include "data/dmmain.h"
#include "ui/dateedit.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

TfrmTimeSectQuery::TfrmTimeSectQuery(TfrmTimeAnalyse *analysis) : QDialog(analysis), m_analysis(analysis)
{
    setObjectName(QStringLiteral("TfrmTimeSectQuery"));
    setWindowTitle(QStringLiteral("按时间段分析"));
    auto *layout = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("按起止时间查询："), this);
    auto *grid = new QGridLayout(group);
    const QDate today = Clock::instance().today();
    m_from = new DateEdit(group);
    m_to = new DateEdit(group);
    m_from->setObjectName(QStringLiteral("DateFrom"));
    m_to->setObjectName(QStringLiteral("DateTo"));
    int row = 0;
    for (auto [edit, text] : {std::pair{m_from, "起始时间："}, std::pair{m_to, "截止时间："}}) {
        auto *label = new QLabel(QString::fromUtf8(text), group);
        label->setBuddy(edit);
        edit->setAccessibleName(label->text());
        edit->setEmptyAllowed(false);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row++, 1);
    }
    m_from->setDate(today.addDays(-30));
    m_to->setDate(today);
    layout->addWidget(group);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("BtnOk"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    layout->addLayout(buttons);
    connect(ok, &QPushButton::clicked, this, &TfrmTimeSectQuery::BtnOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmTimeSectQuery::BtnOkClick()
{
    if (Database *db = TdmMain::instance()->database())
        m_analysis->showResult(TimeAnalyses::period(*db, m_from->date(), m_to->date(), m_analysis->pieDirection()));
    accept();
}
