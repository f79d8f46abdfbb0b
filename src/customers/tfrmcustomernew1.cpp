#include "customers/tfrmcustomernew1.h"

#include "customers/customerfields.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/userrights.h"
#include "ui/dialogbuttons.h"
#include "ui/editkeys.h"
#include "ui/fieldbinder.h"
#include "ui/folderfollow.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
const QString kRight = QStringLiteral("301");
const QString kLog = QStringLiteral("客户业务管理-客户资料-");
} // namespace

TfrmCustomerNew1::TfrmCustomerNew1(QWidget *parent)
    : EditDialog(TdmMain::instance()->dataset(QStringLiteral("tblCustomers2")),
                 QStringLiteral("客户资料数据尚未保存，保存吗？"), parent),
      m_set(TdmMain::instance()->dataset(QStringLiteral("tblCustomers2")))
{
    setObjectName(QStringLiteral("TfrmCustomerNew1"));
    setWindowTitle(QStringLiteral("客户资料"));
    m_binder = new FieldBinder(m_set, this);
    auto *outer = new QHBoxLayout(this);
    auto *area = new QWidget(this);
    outer->addWidget(area, 1);
    m_fields = new CustomerFields(m_set, m_binder, area, CustomerFields::Place::Dialog);

    auto *buttons = new QVBoxLayout;
    outer->addLayout(buttons);
    auto add = [&](const QString &caption, const QString &name, const QString &key, auto run) {
        return addDialogButton(buttons, this, caption, name, key, run);
    };
    m_new = add(QStringLiteral("新增"), QStringLiteral("BtnNew"), QStringLiteral("Ctrl+A"), &TfrmCustomerNew1::BtnNewClick);
    m_save = add(QStringLiteral("保存"), QStringLiteral("BtnSave"), QStringLiteral("Ctrl+S"), &TfrmCustomerNew1::BtnSaveClick);
    m_delete = add(QStringLiteral("删除"), QStringLiteral("BtnDelete"), {}, &TfrmCustomerNew1::BtnDeleteClick);
    m_close = add(QStringLiteral("关闭"), QStringLiteral("BtnClose"), {}, &TfrmCustomerNew1::BtnCloseClick);
    buttons->addStretch(1);

    setEnterOrder(m_fields->fieldsInEnterOrder());
    connect(m_set, &Dataset::stateChanged, this, &TfrmCustomerNew1::updateButtons);
    updateButtons();
}

QPushButton *TfrmCustomerNew1::button(const QString &objectName) const
{
    return findChild<QPushButton *>(objectName);
}

void TfrmCustomerNew1::updateButtons()
{
    const UserRights::Ops ops = UserRights::current().ops(kRight);
    const bool active = m_set->isActive();
    m_new->setEnabled(active && ops.insert && m_set->state() != Dataset::State::Insert);
    m_save->setEnabled(m_set->isEditing());
    m_delete->setEnabled(active && ops.remove);
}

void TfrmCustomerNew1::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_fields->applyDistrictRule();
    m_fields->code()->setFocus(Qt::OtherFocusReason);
}

void TfrmCustomerNew1::BtnNewClick()
{
    if (!logCommand(kLog + QStringLiteral("新增")))
        return;
    if (!m_set->isActive() && !m_set->open()) {
        Prompts::instance().warn(m_set->lastError());
        return;
    }
    if (!m_set->append()) {
        Prompts::instance().warn(m_set->lastError());
        return;
    }
    m_fields->applyDistrictRule();
    m_fields->code()->setFocus(Qt::OtherFocusReason);
}

bool TfrmCustomerNew1::checksPass()
{
    return ModuleFrame::checkRequired(m_set, m_binder, CustomerFields::required(),
                                      [this](QWidget *w) { m_fields->focus(w); })
        && m_fields->checkCode();
}

bool TfrmCustomerNew1::store()
{
    followFolder(m_fields->folder());
    if (!m_set->isEditing())
        return true;
    // Stored through "关闭" too: a customer without its creator would drop
    // out of that user's own list.
    m_fields->stampUser();
    if (m_set->post())
        return true;
    if (!m_set->lastPostDropped())
        Prompts::instance().warn(m_set->lastError());
    return false;
}

void TfrmCustomerNew1::BtnSaveClick()
{
    if (!logCommand(kLog + QStringLiteral("保存")))
        return;
    if (checksPass())
        store();
}

void TfrmCustomerNew1::BtnDeleteClick()
{
    if (!logCommand(kLog + QStringLiteral("删除")))
        return;
    if (!m_set->isActive() || m_set->isEmpty() || m_set->currentRow() < 0)
        return;
    if (m_set->state() == Dataset::State::Insert) {
        m_set->cancel(); // never stored: nothing depends on it
        return;
    }
    if (!ModuleFrame::deleteAllowed(m_set, QStringLiteral("CustId"), CustomerFields::deleteChecks()))
        return;
    if (!Prompts::instance().askOkCancel(CustomerFields::kDeleteQuestion, Prompts::Icon::Warning))
        return;
    if (m_set->isEditing())
        m_set->cancel();
    if (!m_set->remove())
        Prompts::instance().warn(m_set->lastError());
}
