#include "ui/perioddialog.h"

#include "ui/dateedit.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

PeriodDialog::PeriodDialog(const QString &objectName, const QString &title, const QDate &from, const QDate &to,
                           Apply apply, QWidget *parent, const QVector<Command> &commands)
    : QDialog(parent), m_apply(std::move(apply))
{
    setObjectName(objectName);
    setWindowTitle(title);
    auto *layout = new QHBoxLayout(this);
    auto *group = new QGroupBox(QStringLiteral("按起止时间查询："), this);
    auto *form = new QFormLayout(group);
    m_start = new DateEdit(group);
    m_end = new DateEdit(group);
    m_start->setObjectName(QStringLiteral("StartDate"));
    m_end->setObjectName(QStringLiteral("EndDate"));
    for (DateEdit *d : {m_start, m_end})
        d->setEmptyAllowed(false);
    m_start->setDate(from);
    m_end->setDate(to);
    form->addRow(QStringLiteral("起始时间："), m_start);
    form->addRow(QStringLiteral("截止时间："), m_end);
    layout->addWidget(group, 1);

    auto *column = new QVBoxLayout;
    auto add = [this, column](const QString &name, const QString &caption) {
        auto *b = new QPushButton(caption, this);
        b->setObjectName(name);
        b->setAutoDefault(false);
        column->addWidget(b);
        return b;
    };
    for (const Command &c : commands)
        connect(add(c.name, c.caption), &QPushButton::clicked, this, [this, run = c.run] {
            if (run && run())
                accept();
        });
    QPushButton *ok = add(QStringLiteral("BtnOk"), QStringLiteral("确定"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &PeriodDialog::BtnOkClick);
    connect(add(QStringLiteral("BtnCancel"), QStringLiteral("取消")), &QPushButton::clicked, this, &QDialog::reject);
    column->addStretch(1);
    layout->addLayout(column);
    setMinimumWidth(320);
}

void PeriodDialog::BtnOkClick()
{
    if (!m_apply || m_apply(m_start->date(), m_end->date()))
        accept();
}
