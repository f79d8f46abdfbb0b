#include "contracts/tfrminoutquery.h"

#include "contracts/tfrmgathering.h"
#include "data/clock.h"
#include "ui/dateedit.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

TfrmInOutQuery::TfrmInOutQuery(TfrmGathering *list, QWidget *parent) : QDialog(parent), m_list(list)
{
    setObjectName(QStringLiteral("TfrmInOutQuery"));
    setWindowTitle(QStringLiteral("查询"));
    auto *layout = new QVBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("按起止时间查询："), this);
    auto *form = new QFormLayout(group);
    m_start = new DateEdit(group);
    m_end = new DateEdit(group);
    m_start->setObjectName(QStringLiteral("StartDate"));
    m_end->setObjectName(QStringLiteral("EndDate"));
    for (DateEdit *d : {m_start, m_end})
        d->setEmptyAllowed(false);
    const QDate today = Clock::instance().today();
    m_start->setDate(today.addDays(-30));
    m_end->setDate(today);
    form->addRow(QStringLiteral("起始时间："), m_start);
    form->addRow(QStringLiteral("截止时间："), m_end);
    layout->addWidget(group);
    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("确定"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("BtnOk"));
    QPushButton *cancel = buttons->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    connect(ok, &QPushButton::clicked, this, &TfrmInOutQuery::BtnOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(buttons);
    setMinimumWidth(300);
}

void TfrmInOutQuery::BtnOkClick()
{
    if (m_list->applyPeriod(m_start->date(), m_end->date()))
        accept();
}
