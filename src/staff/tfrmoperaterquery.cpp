#include "staff/tfrmoperaterquery.h"

#include "data/dataset.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
struct Criterion {
    const char *caption;
    const char *column;
    const char *emptyMessage;
};
const Criterion kCriteria[] = {
    {"所有工作人员", nullptr, nullptr},
    {"工作人员代码", "OperaterID", "请输入匹配的工作人员代码!"},
    {"工作人员姓名", "Name", "请输入匹配的工作人员姓名!"},
    {"称呼", "NickName", "请输入匹配的称呼!"},
    {"职务", "Duty", "请输入匹配的职务!"},
};
} // namespace

TfrmOperaterQuery::TfrmOperaterQuery(Dataset *operaters, QWidget *parent)
    : QDialog(parent), m_set(operaters), m_criterion(new QComboBox(this)), m_text(new QLineEdit(this))
{
    setObjectName(QStringLiteral("TfrmOperaterQuery"));
    setWindowTitle(QStringLiteral("工作人员查询"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("请选择查询条件："), this), 0, 0);
    for (const Criterion &c : kCriteria)
        m_criterion->addItem(QString::fromUtf8(c.caption));
    m_criterion->setAccessibleName(QStringLiteral("请选择查询条件："));
    grid->addWidget(m_criterion, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("请输入查询条件："), this), 1, 0);
    m_text->setAccessibleName(QStringLiteral("请输入查询条件："));
    m_text->setEnabled(false);
    grid->addWidget(m_text, 1, 1);
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    ok->setDefault(true);
    grid->addWidget(ok, 2, 0);
    grid->addWidget(cancel, 2, 1);
    connect(m_criterion, &QComboBox::currentIndexChanged, this, &TfrmOperaterQuery::criterionChanged);
    connect(ok, &QPushButton::clicked, this, &TfrmOperaterQuery::BtnOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    m_criterion->setFocus();
}

void TfrmOperaterQuery::criterionChanged()
{
    m_text->clear();
    m_text->setEnabled(m_criterion->currentIndex() > 0);
}

void TfrmOperaterQuery::BtnOkClick()
{
    const Criterion &c = kCriteria[qBound(0, m_criterion->currentIndex(), int(std::size(kCriteria)) - 1)];
    if (!c.column) {
        m_set->clearFilter();
    } else {
        const QString t = m_text->text().trimmed();
        if (t.isEmpty()) {
            Prompts::instance().warn(QString::fromUtf8(c.emptyMessage));
            return;
        }
        m_set->setFilter(Condition::contains(QString::fromLatin1(c.column), t));
    }
    if (!m_set->isActive() && !m_set->open())
        Prompts::instance().warn(m_set->lastError());
    accept();
}
