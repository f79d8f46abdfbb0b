#include "ui/querydialog.h"

#include "data/clock.h"
#include "ui/prompts.h"
#include "ui/dateedit.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

Condition QueryDialog::criterionCondition(const QueryCriterion &c, const QString &text)
{
    if (c.column.isEmpty())
        return {};
    if (c.exact)
        return Condition::equals(c.column, text);
    return c.pinyin ? Condition::nameContains(c.column, text) : Condition::contains(c.column, text);
}

QueryDialog::QueryDialog(const QueryDialogDesc &desc, Apply apply, QWidget *parent)
    : QDialog(parent), m_desc(desc), m_apply(std::move(apply)), m_criterion(new QComboBox(this)),
      m_text(new QLineEdit(this))
{
    setObjectName(desc.className);
    setWindowTitle(desc.caption);
    auto *grid = new QGridLayout(this);
    for (const QueryCriterion &c : desc.criteria)
        m_criterion->addItem(c.caption);
    m_criterion->setObjectName(QStringLiteral("CbCriterion"));
    m_text->setObjectName(QStringLiteral("EdText"));
    m_text->setEnabled(false);
    auto *type = new QLabel(desc.textLabel, this);
    type->setBuddy(m_text);
    m_text->setAccessibleName(type->text());
    int row = 0;
    if (desc.periodColumn.isEmpty()) {
        auto *choose = new QLabel(QStringLiteral("请选择查询条件："), this);
        m_criterion->setAccessibleName(choose->text());
        choose->setBuddy(m_criterion);
        grid->addWidget(choose, 0, 0);
        grid->addWidget(m_criterion, 0, 1);
        grid->addWidget(type, 1, 0);
        grid->addWidget(m_text, 1, 1);
        row = 2;
    } else {
        m_period = new QRadioButton(QStringLiteral("选择时间段查询："), this);
        m_period->setObjectName(QStringLiteral("RbPeriod"));
        grid->addWidget(m_period, 0, 0, 1, 2);
        auto addDate = [&](const QString &caption, const QString &name, int at) {
            auto *label = new QLabel(caption, this);
            auto *d = new DateEdit(this);
            d->setObjectName(name);
            d->setEmptyAllowed(false); // a period always has both ends
            label->setBuddy(d);
            grid->addWidget(label, at, 0);
            grid->addWidget(d, at, 1);
            return d;
        };
        m_start = addDate(QStringLiteral("起始时间："), QStringLiteral("DtpStart"), 1);
        m_end = addDate(QStringLiteral("截止时间："), QStringLiteral("DtpEnd"), 2);
        m_other = new QRadioButton(QStringLiteral("选择其他查询条件："), this);
        m_other->setObjectName(QStringLiteral("RbOther"));
        grid->addWidget(m_other, 3, 0, 1, 2);
        m_criterion->setAccessibleName(m_other->text());
        grid->addWidget(m_criterion, 4, 0, 1, 2);
        grid->addWidget(type, 5, 0, 1, 2);
        grid->addWidget(m_text, 6, 0, 1, 2);
        row = 7;
        const QDate today = Clock::instance().today();
        m_start->setDate(today.addDays(-30));
        m_end->setDate(today);
        m_period->setChecked(true);
    }
    auto *buttons = new QHBoxLayout;
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("BtnOk"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, row, 0, 1, 2);
    connect(m_criterion, &QComboBox::currentIndexChanged, this, &QueryDialog::criterionChanged);
    connect(ok, &QPushButton::clicked, this, &QueryDialog::BtnOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void QueryDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (m_period)
        m_period->setFocus(Qt::OtherFocusReason);
    else
        m_criterion->setFocus(Qt::OtherFocusReason);
}

void QueryDialog::criterionChanged()
{
    m_text->clear();
    const int i = m_criterion->currentIndex();
    m_text->setEnabled(i >= 0 && i < m_desc.criteria.size() && !m_desc.criteria[i].column.isEmpty());
}

void QueryDialog::BtnOkClick()
{
    Condition found;
    if (m_period && m_period->isChecked()) {
        // Both days count, whichever way round they were typed.
        const QDate a = std::min(m_start->date(), m_end->date());
        const QDate b = std::max(m_start->date(), m_end->date());
        found = Condition::dateRange(m_desc.periodColumn, a, b);
    } else {
        const int i = m_criterion->currentIndex();
        if (i < 0 || i >= m_desc.criteria.size())
            return;
        const QueryCriterion &c = m_desc.criteria[i];
        if (!c.column.isEmpty()) {
            const QString t = m_text->text().trimmed();
            if (t.isEmpty()) {
                Prompts::instance().warn(c.emptyMessage);
                m_text->setFocus(Qt::OtherFocusReason);
                return;
            }
            found = criterionCondition(c, t);
        }
    }
    const QString refusal = m_apply ? m_apply(found) : QString();
    if (!refusal.isEmpty()) {
        Prompts::instance().warn(refusal);
        return;
    }
    accept();
}
