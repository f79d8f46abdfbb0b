#include "customers/customerpicker.h"

#include "customers/pickercontext.h"
#include "customers/tfrmcustomernew1.h"
#include "customers/tfrmcustomerquery4.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/recordscope.h"
#include "data/sharedsets.h"
#include "data/userrights.h"
#include "ui/datagrid.h"
#include "ui/dialogbuttons.h"
#include "ui/prompts.h"
#include "ui/recordcommands.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kRight = QStringLiteral("301");

// What the customer dialog shows in its drop-down lists.
const QString kDictionaries[] = {Sets::kCustomerTypes,  Sets::kCountries,       Sets::kDistricts,
                                 Sets::kCustomerLevels, Sets::kCustomerStates,  Sets::kCustomerOrigins,
                                 Sets::kContractTypes,  Sets::kContractOrigins, Sets::kContractStates,
                                 Sets::kStaff};
} // namespace

CustomerPicker::CustomerPicker(const QString &className, const QStringList &contexts, Dataset *target,
                               const QString &field, QWidget *parent)
    : QDialog(parent), m_set(TdmMain::instance()->dataset(Sets::kCustomerNames)), m_target(target),
      m_field(field), m_contexts(contexts)
{
    setObjectName(className);
    setWindowTitle(QStringLiteral("客户资料"));
    auto *outer = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    auto *heading = new QLabel(QStringLiteral("客户资料列表："), this);
    left->addWidget(heading);
    m_grid = new DataGrid(m_set,
                          {{QStringLiteral("CustID"), QStringLiteral("客户代码")},
                           {QStringLiteral("CustName"), QStringLiteral("客户名称")}},
                          className + QStringLiteral(".List"), this);
    m_grid->setGroupPanelVisible(false);
    heading->setBuddy(m_grid);
    left->addWidget(m_grid, 1);
    outer->addLayout(left, 1);

    auto *buttons = new QVBoxLayout;
    auto add = [&](const QString &caption, const QString &name, const QString &key, auto run) {
        return addDialogButton(buttons, this, caption, name, key, run);
    };
    add(QStringLiteral("选择"), QStringLiteral("BtnSelect"), {}, &CustomerPicker::BtnSelectClick);
    add(QStringLiteral("取消"), QStringLiteral("BtnCancel"), {}, &CustomerPicker::BtnCancelClick);
    add(QStringLiteral("快速查询"), QStringLiteral("BtnQuickQuery"), {}, &CustomerPicker::BtnQuickQueryClick);
    m_new = add(QStringLiteral("新增"), QStringLiteral("BtnNew"), QStringLiteral("Ctrl+A"), &CustomerPicker::BtnNewClick);
    m_detail = add(QStringLiteral("详细资料"), QStringLiteral("BtnDetail"), {}, &CustomerPicker::BtnDetailClick);
    add(QStringLiteral("刷新"), QStringLiteral("BtnRefresh"), {}, &CustomerPicker::BtnRefreshClick);
    buttons->addStretch(1);
    outer->addLayout(buttons);

    const UserRights::Ops ops = UserRights::current().ops(kRight);
    m_new->setEnabled(ops.insert);
    m_detail->setEnabled(ops.modify);
    resize(520, 420);
}

QPushButton *CustomerPicker::button(const QString &objectName) const
{
    return findChild<QPushButton *>(objectName);
}

void CustomerPicker::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    prepare();
    m_grid->setFocus(Qt::OtherFocusReason);
}

void CustomerPicker::prepare()
{
    for (const QString &name : kDictionaries) {
        Dataset *d = TdmMain::instance()->dataset(name);
        if (d && !d->isActive() && !d->open()) {
            Prompts::instance().warn(d->lastError());
            return;
        }
    }
    applyOwnCustomers();
}

bool CustomerPicker::applyOwnCustomers()
{
    if (refilter(m_set, ownRecordsCondition(m_set->database())))
        return true;
    Prompts::instance().warn(m_set->lastError());
    return false;
}

bool CustomerPicker::contextAllows() const
{
    return m_contexts.isEmpty() || m_contexts.contains(customerPickerContext());
}

void CustomerPicker::BtnSelectClick()
{
    // Nothing chosen (an empty list, a row never stored) or a caller this
    // picker does not serve: the caller's record stays as it was.
    const bool chosen = m_set->isActive() && m_set->currentRow() >= 0 && m_set->state() != Dataset::State::Insert
        && !m_set->isBlank(QStringLiteral("CustId"));
    if (!chosen || !contextAllows() || !m_target || m_field.isEmpty()) {
        QDialog::done(Rejected);
        return;
    }
    const QString code = m_set->value(QStringLiteral("CustId")).toString();
    if (!m_target->isEditing() && !m_target->edit()) {
        Prompts::instance().warn(m_target->lastError());
        QDialog::done(Rejected);
        return;
    }
    if (!m_target->setValue(m_field, code)) {
        Prompts::instance().warn(m_target->lastError());
        QDialog::done(Rejected);
        return;
    }
    QDialog::done(Accepted);
}

void CustomerPicker::BtnCancelClick()
{
    applyOwnCustomers();
    QDialog::reject();
}

void CustomerPicker::reject()
{
    BtnCancelClick();
}

void CustomerPicker::BtnQuickQueryClick()
{
    TfrmCustomerQuery4 dlg(this);
    dlg.exec();
}

void CustomerPicker::BtnNewClick()
{
    if (!UserRights::current().ops(kRight).insert || !beginNewRecord(m_set))
        return;
    openCustomerDialog();
}

void CustomerPicker::BtnDetailClick()
{
    if (!UserRights::current().ops(kRight).modify)
        return;
    // Without a customer the dialog would start one on the first key, and
    // "新增" is the way to do that, under its own right.
    if (!m_set->isActive() || m_set->currentRow() < 0)
        return;
    openCustomerDialog();
}

void CustomerPicker::openCustomerDialog()
{
    TfrmCustomerNew1 dlg(this);
    dlg.exec();
    // A customer stored there stays the current row of the set, so the
    // grid offers it at once, whatever filter the list has.
}

void CustomerPicker::BtnRefreshClick()
{
    if (!m_set->refresh())
        Prompts::instance().warn(m_set->lastError());
}

TfrmCustomerQuery::TfrmCustomerQuery(Dataset *target, const QString &field, QWidget *parent)
    : CustomerPicker(QStringLiteral("TfrmCustomerQuery"), {PickerContext::kContact}, target, field, parent)
{
}

TfrmCustomerQuery1::TfrmCustomerQuery1(Dataset *target, const QString &field, QWidget *parent)
    : CustomerPicker(QStringLiteral("TfrmCustomerQuery1"),
                     {PickerContext::kContractCustomer, PickerContext::kContractLinkCustomer,
                      PickerContext::kContractDialogLinkCustomer},
                     target, field, parent)
{
}

TfrmCustomerQuery2::TfrmCustomerQuery2(Dataset *target, const QString &field, QWidget *parent)
    : CustomerPicker(QStringLiteral("TfrmCustomerQuery2"), {}, target, field, parent)
{
}
