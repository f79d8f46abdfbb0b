#include "staff/tfrmoptrackquery.h"

#include "data/clock.h"
#include "data/condition.h"
#include "data/dataset.h"
#include "ui/dateedit.h"
#include "ui/prompts.h"
#include "ui/recordcommands.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmOpTrackQuery::TfrmOpTrackQuery(Dataset *track, QWidget *parent) : QDialog(parent), m_track(track)
{
    setObjectName(QStringLiteral("TfrmOpTrackQuery"));
    setWindowTitle(QStringLiteral("查询"));

    m_byDate = new QRadioButton(QStringLiteral("按时间查询"), this);
    m_byDate->setObjectName(QStringLiteral("rbDate"));
    m_byOther = new QRadioButton(QStringLiteral("按其它条件查询"), this);
    m_byOther->setObjectName(QStringLiteral("rbOther"));
    m_date = new DateEdit(this);
    m_date->setObjectName(QStringLiteral("edDate"));
    m_date->setEmptyAllowed(false);
    m_date->setDate(Clock::instance().today());
    m_date->setAccessibleName(QStringLiteral("按时间查询"));
    m_criterion = new QComboBox(this);
    m_criterion->setObjectName(QStringLiteral("cbCriterion"));
    m_criterion->addItems({QStringLiteral("按客户代码查询"), QStringLiteral("按联系人查询")});
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("edText"));
    auto *hint = new QLabel(QStringLiteral("附加条件（如果未输入为全部）："), this);
    hint->setBuddy(m_text);
    m_byDate->setChecked(true);

    auto *grid = new QGridLayout;
    grid->addWidget(m_byDate, 0, 0);
    grid->addWidget(m_date, 0, 1);
    grid->addWidget(m_byOther, 1, 0);
    grid->addWidget(m_criterion, 1, 1);
    grid->addWidget(hint, 2, 0, 1, 2);
    grid->addWidget(m_text, 3, 0, 1, 2);
    grid->setColumnMinimumWidth(1, 160);

    auto *buttons = new QVBoxLayout;
    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    ok->setObjectName(QStringLiteral("BtnOk"));
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    cancel->setAutoDefault(false);
    ok->setDefault(true);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto *layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(ok, &QPushButton::clicked, this, &TfrmOpTrackQuery::BtnOkClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    // Typing a condition means querying by it.
    connect(m_text, &QLineEdit::textEdited, this, [this] { m_byOther->setChecked(true); });
    connect(m_criterion, &QComboBox::activated, this, [this] { m_byOther->setChecked(true); });
}

void TfrmOpTrackQuery::BtnOkClick()
{
    Condition c;
    if (m_byDate->isChecked()) {
        // Whole days: a contact stored with a time of day still counts.
        c = Condition::dateRange(QStringLiteral("LinkDate"), m_date->date(), m_date->date());
    } else if (const QString t = m_text->text().trimmed(); !t.isEmpty()) {
        c = Condition::contains(m_criterion->currentIndex() == 0 ? QStringLiteral("CustID") : QStringLiteral("Linkman"), t);
    }
    // A remark in hand is stored as any re-read stores it.
    if (!storeCurrentRecord(m_track))
        return;
    m_track->close();
    m_track->setFilter(c);
    if (!m_track->open())
        Prompts::instance().warn(m_track->lastError());
}
