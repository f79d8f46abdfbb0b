#include "customers/tfrmcustomerquery4.h"

#include "customers/customerscope.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
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
    {"所有客户", nullptr, nullptr},
    {"客户代码", "CustID", "请输入匹配的客户代码!"},
    {"客户名称", "CustName", "请输入匹配的客户名称!"},
};
} // namespace

TfrmCustomerQuery4::TfrmCustomerQuery4(QWidget *parent)
    : QDialog(parent), m_set(TdmMain::instance()->dataset(QStringLiteral("tblCustomers2"))),
      m_criterion(new QComboBox(this)), m_text(new QLineEdit(this))
{
    setObjectName(QStringLiteral("TfrmCustomerQuery4"));
    setWindowTitle(QStringLiteral("客户查询"));
    auto *grid = new QGridLayout(this);
    auto *choose = new QLabel(QStringLiteral("请选择查询条件："), this);
    for (const Criterion &c : kCriteria)
        m_criterion->addItem(QString::fromUtf8(c.caption));
    m_criterion->setObjectName(QStringLiteral("CbCriterion"));
    choose->setBuddy(m_criterion);
    grid->addWidget(choose, 0, 0);
    grid->addWidget(m_criterion, 0, 1);
    auto *type = new QLabel(QStringLiteral("请输入查询条件："), this);
    m_text->setObjectName(QStringLiteral("EdText"));
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
    connect(m_criterion, &QComboBox::currentIndexChanged, this, &TfrmCustomerQuery4::criterionChanged);
    connect(ok, &QPushButton::clicked, this, &TfrmCustomerQuery4::BtnOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmCustomerQuery4::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_criterion->setFocus(Qt::OtherFocusReason);
}

void TfrmCustomerQuery4::criterionChanged()
{
    m_text->clear();
    m_text->setEnabled(m_criterion->currentIndex() > 0);
}

void TfrmCustomerQuery4::BtnOkClick()
{
    const Criterion &c = kCriteria[qBound(0, m_criterion->currentIndex(), int(std::size(kCriteria)) - 1)];
    Condition found;
    if (c.column) {
        const QString t = m_text->text().trimmed();
        if (t.isEmpty()) {
            Prompts::instance().warn(QString::fromUtf8(c.emptyMessage));
            m_text->setFocus(Qt::OtherFocusReason);
            return;
        }
        found = Condition::contains(QString::fromLatin1(c.column), t);
    }
    if (!refilter(m_set, found)) {
        Prompts::instance().warn(m_set->lastError());
        return;
    }
    accept();
}
