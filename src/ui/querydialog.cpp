#include "ui/querydialog.h"

#include "ui/prompts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

QueryDialog::QueryDialog(const QueryDialogDesc &desc, Apply apply, QWidget *parent)
    : QDialog(parent), m_desc(desc), m_apply(std::move(apply)), m_criterion(new QComboBox(this)),
      m_text(new QLineEdit(this))
{
    setObjectName(desc.className);
    setWindowTitle(desc.caption);
    auto *grid = new QGridLayout(this);
    auto *choose = new QLabel(QStringLiteral("请选择查询条件："), this);
    for (const QueryCriterion &c : desc.criteria)
        m_criterion->addItem(c.caption);
    m_criterion->setObjectName(QStringLiteral("CbCriterion"));
    m_criterion->setAccessibleName(choose->text());
    choose->setBuddy(m_criterion);
    grid->addWidget(choose, 0, 0);
    grid->addWidget(m_criterion, 0, 1);
    auto *type = new QLabel(QStringLiteral("请输入查询条件："), this);
    m_text->setObjectName(QStringLiteral("EdText"));
    m_text->setAccessibleName(type->text());
    m_text->setEnabled(false);
    type->setBuddy(m_text);
    grid->addWidget(type, 1, 0);
    grid->addWidget(m_text, 1, 1);
    auto *buttons = new QHBoxLayout;
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("BtnOk"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    connect(m_criterion, &QComboBox::currentIndexChanged, this, &QueryDialog::criterionChanged);
    connect(ok, &QPushButton::clicked, this, &QueryDialog::BtnOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void QueryDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
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
    const int i = m_criterion->currentIndex();
    if (i < 0 || i >= m_desc.criteria.size())
        return;
    const QueryCriterion &c = m_desc.criteria[i];
    Condition found;
    if (!c.column.isEmpty()) {
        const QString t = m_text->text().trimmed();
        if (t.isEmpty()) {
            Prompts::instance().warn(c.emptyMessage);
            m_text->setFocus(Qt::OtherFocusReason);
            return;
        }
        found = Condition::contains(c.column, t);
    }
    const QString error = m_apply ? m_apply(found) : QString();
    if (!error.isEmpty()) {
        Prompts::instance().warn(error);
        return;
    }
    accept();
}
