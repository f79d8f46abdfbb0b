#include "analyses/tfrmclassanalyse.h"

#include "data/dmmain.h"
#include "ui/dateedit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

namespace {

AnalysisPanel::Options optionsOf(ClassAnalyses::Member m)
{
    using M = ClassAnalyses::Member;
    switch (m) {
    case M::CustLevel:
        return {QStringLiteral("TfrmCustLevelAnalyse"), QStringLiteral("客户级别分析")};
    case M::CustOrigin:
        return {QStringLiteral("TfrmCustOriginAnalyse"), QStringLiteral("客户来源分析")};
    case M::CustState:
        return {QStringLiteral("TfrmCustStateAnalyse"), QStringLiteral("客户状态分析")};
    case M::CustVocation:
        return {QStringLiteral("TfrmCustVocationAnalyse"), QStringLiteral("客户类型分析")};
    case M::OperateOrigin:
        return {QStringLiteral("TfrmOperateOriginAnalyse"), QStringLiteral("业务来源分析")};
    case M::OperateType:
        break;
    }
    return {QStringLiteral("TfrmOperateStyleAnalyse"), QStringLiteral("业务类型分析")};
}

} // namespace

TfrmClassAnalyse::TfrmClassAnalyse(ClassAnalyses::Member member, QWidget *parent)
    : AnalysisPanel(optionsOf(member), parent), m_member(member)
{
    if (ClassAnalyses::isPeriodMember(member)) {
        addPeriod(&m_from, &m_to);
    } else {
        bar()->addWidget(new QLabel(QStringLiteral("请选择具体内容查询分析："), this));
        m_mode = new QComboBox(this);
        m_mode->setObjectName(QStringLiteral("ComboMode"));
        m_mode->setAccessibleName(QStringLiteral("分析内容"));
        m_mode->addItems({QStringLiteral("按客户数量分析"), QStringLiteral("按业务数量分析"), QStringLiteral("按合同金额分析")});
        m_direction = new QComboBox(this);
        m_direction->setObjectName(QStringLiteral("ComboInOut"));
        m_direction->setAccessibleName(QStringLiteral("收支"));
        m_direction->addItems({QStringLiteral("收入"), QStringLiteral("支出")});
        m_direction->setEnabled(false);
        // The direction only matters to the amounts.
        connect(m_mode, &QComboBox::currentIndexChanged, this,
                [this](int index) { m_direction->setEnabled(index == 2); });
        bar()->addWidget(m_mode);
        bar()->addWidget(m_direction);
    }
    bar()->addStretch(1);
    connect(addButton(QStringLiteral("BtnRefresh"), QStringLiteral("刷新")), &QPushButton::clicked, this,
            &TfrmClassAnalyse::BtnRefreshClick);
    addCloseButton();
}

void TfrmClassAnalyse::open()
{
    if (m_from)
        resetPeriod(m_from, m_to);
}

void TfrmClassAnalyse::BtnRefreshClick()
{
    Database *db = TdmMain::instance()->database();
    if (!db)
        return;
    if (m_from) {
        showResult(ClassAnalyses::byPeriod(*db, m_member, m_from->date(), m_to->date()));
    } else {
        const auto mode = ClassAnalyses::Mode(m_mode->currentIndex());
        const Direction d = m_direction->currentIndex() == 1 ? Direction::Expense : Direction::Income;
        showResult(ClassAnalyses::byMode(*db, m_member, mode, d));
    }
}
