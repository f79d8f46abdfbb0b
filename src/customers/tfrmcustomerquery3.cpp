#include "customers/tfrmcustomerquery3.h"

#include "customers/customerscope.h"
#include "data/clock.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {
enum class Match { None, Contains, Exact };
struct Criterion {
    const char *caption;
    const char *column;
    Match match;
};
// The codes of the dictionaries and of the staff need the exact code: "01"
// must not find "001".
const Criterion kCriteria[] = {
    {"所有客户", nullptr, Match::None},
    {"客户代码", "CustID", Match::Contains},
    {"客户名称", "CustName", Match::Contains},
    {"主要联系人", "MainLinkman", Match::Contains},
    {"地址", "Address", Match::Contains},
    {"国籍", "CountryID", Match::Contains},
    {"所在区", "DistID", Match::Contains},
    {"电话", "Telephone", Match::Contains},
    {"传真", "Fax", Match::Contains},
    {"工作人员代码", "OperaterID", Match::Exact},
    {"客户类别代码", "VocationID", Match::Exact},
    {"客户级别代码", "LevelID", Match::Exact},
    {"客户状态代码", "StateID", Match::Exact},
    {"客户来源代码", "OriginID", Match::Exact},
    {"Email", "Email", Match::Contains},
    {"主要成员", "HomePage", Match::Contains},
};
constexpr int kCriterionCount = int(std::size(kCriteria));
} // namespace

QStringList TfrmCustomerQuery3::criteria()
{
    QStringList list;
    for (const Criterion &c : kCriteria)
        list << QString::fromUtf8(c.caption);
    return list;
}

Condition TfrmCustomerQuery3::criterionCondition(int criterion, const QString &text)
{
    if (criterion < 0 || criterion >= kCriterionCount)
        return {};
    const Criterion &c = kCriteria[criterion];
    const QString column = QString::fromLatin1(c.column);
    switch (c.match) {
    case Match::None:
        return {};
    case Match::Contains:
        return Condition::contains(column, text);
    case Match::Exact:
        return Condition::equals(column, text);
    }
    return {};
}

TfrmCustomerQuery3::TfrmCustomerQuery3(QWidget *parent)
    : QDialog(parent), m_set(TdmMain::instance()->dataset(QStringLiteral("tblCustomers")))
{
    setObjectName(QStringLiteral("TfrmCustomerQuery3"));
    setWindowTitle(QStringLiteral("客户查询"));
    auto *grid = new QGridLayout(this);

    m_period = new QRadioButton(QStringLiteral("选择时间段查询："), this);
    m_period->setObjectName(QStringLiteral("RbPeriod"));
    grid->addWidget(m_period, 0, 0, 1, 2);
    auto addDate = [&](const QString &caption, const QString &name, int row) {
        auto *label = new QLabel(caption, this);
        auto *d = new QDateEdit(this);
        d->setObjectName(name);
        d->setCalendarPopup(true);
        d->setDisplayFormat(QStringLiteral("yyyy-M-d"));
        label->setBuddy(d);
        grid->addWidget(label, row, 0);
        grid->addWidget(d, row, 1);
        return d;
    };
    m_start = addDate(QStringLiteral("起始时间："), QStringLiteral("DtpStart"), 1);
    m_end = addDate(QStringLiteral("截止时间："), QStringLiteral("DtpEnd"), 2);

    m_other = new QRadioButton(QStringLiteral("选择其他查询条件："), this);
    m_other->setObjectName(QStringLiteral("RbOther"));
    grid->addWidget(m_other, 3, 0, 1, 2);
    m_criterion = new QComboBox(this);
    m_criterion->setObjectName(QStringLiteral("CbCriterion"));
    m_criterion->addItems(criteria());
    m_criterion->setAccessibleName(QStringLiteral("选择其他查询条件："));
    grid->addWidget(m_criterion, 4, 0, 1, 2);
    auto *prompt = new QLabel(QStringLiteral("请输入查询条件："), this);
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("EdText"));
    m_text->setEnabled(false);
    prompt->setBuddy(m_text);
    grid->addWidget(prompt, 5, 0, 1, 2);
    grid->addWidget(m_text, 6, 0, 1, 2);

    auto *buttons = new QHBoxLayout;
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("BtnOk"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 7, 0, 1, 2);

    const QDate today = Clock::instance().today();
    m_start->setDate(today.addDays(-30));
    m_end->setDate(today);
    m_period->setChecked(true);

    connect(m_criterion, &QComboBox::currentIndexChanged, this, &TfrmCustomerQuery3::criterionChanged);
    connect(ok, &QPushButton::clicked, this, &TfrmCustomerQuery3::BtnOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmCustomerQuery3::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_period->setFocus(Qt::OtherFocusReason);
}

void TfrmCustomerQuery3::criterionChanged()
{
    m_text->clear();
    m_text->setEnabled(m_criterion->currentIndex() > 0);
}

void TfrmCustomerQuery3::BtnOkClick()
{
    // Asked afresh: an administrator may have changed the user meanwhile.
    const Condition own = ownCustomersCondition(m_set->database());
    Condition found;
    if (m_period->isChecked()) {
        // Both days count, whichever way round they were typed.
        const QDate a = std::min(m_start->date(), m_end->date());
        const QDate b = std::max(m_start->date(), m_end->date());
        found = Condition::dateRange(QStringLiteral("CreateDate"), a, b);
    } else if (m_criterion->currentIndex() > 0) {
        const QString t = m_text->text().trimmed();
        if (t.isEmpty()) {
            Prompts::instance().warn(QStringLiteral("请输入查询条件!"));
            m_text->setFocus(Qt::OtherFocusReason);
            return;
        }
        found = criterionCondition(m_criterion->currentIndex(), t);
    }
    // The user's own term holds for the whole condition, whatever it is.
    if (!refilter(m_set, found && own)) {
        Prompts::instance().warn(m_set->lastError());
        return;
    }
    if (m_set->rowCount() > 0) {
        accept();
        return;
    }
    Prompts::instance().warn(QStringLiteral("对不起，没有找到符合条件的记录！"));
}
