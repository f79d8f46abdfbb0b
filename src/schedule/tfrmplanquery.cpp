#include "schedule/tfrmplanquery.h"

#include "data/clock.h"
#include "data/dataset.h"
#include "schedule/data/planperiod.h"
#include "ui/dateedit.h"
#include "ui/prompts.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

TfrmPlanQuery::TfrmPlanQuery(Dataset *plans, QWidget *parent) : QDialog(parent), m_plans(plans)
{
    setObjectName(QStringLiteral("TfrmPlanQuery"));
    setWindowTitle(QStringLiteral("日程查询"));
    auto *layout = new QHBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("按起止时间查询："), this);
    auto *form = new QFormLayout(group);
    m_start = new DateEdit(group);
    m_end = new DateEdit(group);
    m_start->setObjectName(QStringLiteral("StartDate"));
    m_end->setObjectName(QStringLiteral("EndDate"));
    for (DateEdit *d : {m_start, m_end})
        d->setEmptyAllowed(false);
    const QDate today = Clock::instance().today();
    m_start->setDate(today.addDays(-7));
    m_end->setDate(today.addDays(7));
    form->addRow(QStringLiteral("起始时间："), m_start);
    form->addRow(QStringLiteral("截止时间："), m_end);
    layout->addWidget(group, 1);
    auto *buttons = new QVBoxLayout;
    const std::tuple<const char *, const char *, void (TfrmPlanQuery::*)()> defs[] = {
        {"BtnAll", "查询全部", &TfrmPlanQuery::BtnAllClick},
        {"BtnOk", "确定", &TfrmPlanQuery::BtnOkClick},
        {"BtnCancel", "取消", nullptr}};
    for (const auto &[name, caption, run] : defs) {
        auto *b = new QPushButton(QString::fromUtf8(caption), this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        if (run)
            connect(b, &QPushButton::clicked, this, run);
        else
            connect(b, &QPushButton::clicked, this, &QDialog::reject);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
}

void TfrmPlanQuery::BtnAllClick()
{
    if (!PlanPeriod::showAll(m_plans, true)) {
        Prompts::instance().warn(m_plans->lastError());
        return;
    }
    accept();
}

void TfrmPlanQuery::BtnOkClick()
{
    if (!PlanPeriod::showPeriod(m_plans, m_start->date(), m_end->date())) {
        Prompts::instance().warn(m_plans->lastError());
        return;
    }
    accept();
}
