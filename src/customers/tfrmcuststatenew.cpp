#include "customers/tfrmcuststatenew.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/tabledef.h"
#include "data/userrights.h"
#include "ui/calculatorpopup.h"
#include "ui/dialogbuttons.h"
#include "ui/editkeys.h"
#include "ui/fieldbinder.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {
const QString kRight = QStringLiteral("301");
const QString kTime = QStringLiteral("LinkTime");
// Every field the user types; a new row with all of them blank was never
// begun in earnest.
const char *const kTyped[] = {"LinkDate", "LinkTime", "LinkType", "Linkman", "Duty",
                              "LinkContent", "Address", "Charge", "Memo"};
} // namespace

const QStringList &TfrmCustStateNew::linkTypes()
{
    static const QStringList types{QStringLiteral("电话联系"), QStringLiteral("登门拜访"),
                                   QStringLiteral("电子邮件联系"), QStringLiteral("应邀上门"),
                                   QStringLiteral("招待客户")};
    return types;
}

TfrmCustStateNew::TfrmCustStateNew(QWidget *parent)
    : EditDialog(TdmMain::instance()->dataset(QStringLiteral("tblCustomerState")),
                 QStringLiteral("客户接触信息尚未保存，保存吗？"), parent),
      m_set(TdmMain::instance()->dataset(QStringLiteral("tblCustomerState")))
{
    setObjectName(QStringLiteral("TfrmCustStateNew"));
    setWindowTitle(QStringLiteral("客户接触"));
    m_binder = new FieldBinder(m_set, this);

    auto *outer = new QHBoxLayout(this);
    auto *left = new QVBoxLayout;
    outer->addLayout(left, 1);

    // The heading and the navigator.
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("客户接触："), this));
    top->addStretch(1);
    auto nav = [&](const QString &name, const QString &tip, QStyle::StandardPixmap icon, Move move) {
        auto *b = new QToolButton(this);
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        b->setToolTip(tip);
        b->setAccessibleName(tip);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QToolButton::clicked, this, [this, move] { navigate(move); });
        top->addWidget(b);
        return b;
    };
    m_first = nav(QStringLiteral("NavFirst"), QStringLiteral("第一条"), QStyle::SP_MediaSkipBackward, Move::First);
    m_prior = nav(QStringLiteral("NavPrior"), QStringLiteral("上一条"), QStyle::SP_MediaSeekBackward, Move::Prior);
    m_next = nav(QStringLiteral("NavNext"), QStringLiteral("下一条"), QStyle::SP_MediaSeekForward, Move::Next);
    m_last = nav(QStringLiteral("NavLast"), QStringLiteral("最后一条"), QStyle::SP_MediaSkipForward, Move::Last);
    left->addLayout(top);

    // The fields, in the order Enter moves through them.
    auto *form = new QGridLayout;
    left->addLayout(form, 1);
    int row = 0;
    auto place = [&](const QString &caption, QWidget *w) {
        auto *label = new QLabel(caption, this);
        label->setBuddy(w);
        form->addWidget(label, row, 0, Qt::AlignTop);
        form->addWidget(w, row, 1);
        ++row;
    };
    m_date = new QDateEdit(this);
    m_binder->bind(m_date, QStringLiteral("LinkDate"));
    place(QStringLiteral("联系日期："), m_date);

    // Not through the binder: a mask left blank reads "::", which must be
    // no time at all rather than a stored "::".
    m_time = new QLineEdit(this);
    m_time->setInputMask(QStringLiteral("99:99:99;_"));
    connect(m_time, &QLineEdit::textChanged, this, &TfrmCustStateNew::storeTime);
    connect(m_set, &Dataset::currentRowChanged, this, &TfrmCustStateNew::showTime);
    connect(m_set, &Dataset::rowsReset, this, &TfrmCustStateNew::showTime);
    connect(m_set, &Dataset::stateChanged, this, &TfrmCustStateNew::showTime);
    connect(m_set, &Dataset::fieldChanged, this, [this](const QString &f) {
        if (f.compare(kTime, Qt::CaseInsensitive) == 0)
            showTime();
    });
    place(QStringLiteral("联系时间："), m_time);

    m_type = new QComboBox(this);
    m_type->setEditable(true);
    m_type->setInsertPolicy(QComboBox::NoInsert);
    if (const ColumnDef *def = m_set->columnDef(QStringLiteral("LinkType")); def && def->width > 0)
        m_type->lineEdit()->setMaxLength(def->width);
    m_binder->bind(m_type, QStringLiteral("LinkType"), linkTypes());
    place(QStringLiteral("联系方式："), m_type);

    auto line = [&](const QString &caption, const QString &field) {
        auto *e = new QLineEdit(this);
        m_binder->bind(e, field);
        place(caption, e);
        return e;
    };
    m_linkman = line(QStringLiteral("联 系 人："), QStringLiteral("Linkman"));
    m_duty = line(QStringLiteral("职　　务："), QStringLiteral("Duty"));
    m_content = line(QStringLiteral("联系内容："), QStringLiteral("LinkContent"));
    m_address = line(QStringLiteral("地　　点："), QStringLiteral("Address"));

    m_charge = new QLineEdit(this);
    auto *number = new QDoubleValidator(m_charge);
    number->setNotation(QDoubleValidator::StandardNotation);
    m_charge->setValidator(number);
    m_charge->setAlignment(Qt::AlignRight);
    attachCalculator(m_charge);
    m_binder->bind(m_charge, QStringLiteral("Charge"));
    place(QStringLiteral("费用开销："), m_charge);

    m_memo = new QPlainTextEdit(this);
    m_memo->setTabChangesFocus(true);
    m_binder->bind(m_memo, QStringLiteral("Memo"));
    place(QStringLiteral("备注："), m_memo);
    form->setRowStretch(row - 1, 1);

    m_required = {
        {QStringLiteral("LinkDate"), QStringLiteral("请选择输入联系日期！"), m_date},
        {kTime, QStringLiteral("请输入联系时间！"), m_time},
        {QStringLiteral("LinkType"), QStringLiteral("请选择输入联系方式！"), m_type},
        {QStringLiteral("Linkman"), QStringLiteral("请输入联系人名称！"), m_linkman},
        {QStringLiteral("Duty"), QStringLiteral("请输入联系人职务！"), m_duty},
    };

    auto *buttons = new QVBoxLayout;
    outer->addLayout(buttons);
    auto add = [&](const QString &caption, const QString &name, const QString &key, auto run) {
        return addDialogButton(buttons, this, caption, name, key, run);
    };
    m_new = add(QStringLiteral("新增"), QStringLiteral("BtnNew"), QStringLiteral("Ctrl+A"), &TfrmCustStateNew::BtnNewClick);
    m_save = add(QStringLiteral("保存"), QStringLiteral("BtnSave"), QStringLiteral("Ctrl+S"), &TfrmCustStateNew::BtnSaveClick);
    m_delete = add(QStringLiteral("删除"), QStringLiteral("BtnDelete"), {}, &TfrmCustStateNew::BtnDeleteClick);
    m_close = add(QStringLiteral("关闭"), QStringLiteral("BtnClose"), {}, &TfrmCustStateNew::BtnCloseClick);
    buttons->addStretch(1);

    setEnterOrder(fieldsInEnterOrder());
    showTime();
    connect(m_set, &Dataset::stateChanged, this, &TfrmCustStateNew::updateButtons);
    connect(m_set, &Dataset::currentRowChanged, this, &TfrmCustStateNew::updateButtons);
    connect(m_set, &Dataset::rowsReset, this, &TfrmCustStateNew::updateButtons);
    updateButtons();
}

QList<QWidget *> TfrmCustStateNew::fieldsInEnterOrder() const
{
    return {m_date, m_time, m_type, m_linkman, m_duty, m_content, m_address, m_charge, m_memo};
}

QPushButton *TfrmCustStateNew::button(const QString &objectName) const
{
    return findChild<QPushButton *>(objectName);
}

void TfrmCustStateNew::updateButtons()
{
    const UserRights::Ops ops = UserRights::current().ops(kRight);
    m_new->setEnabled(ops.insert && m_set->state() != Dataset::State::Insert);
    m_save->setEnabled(m_set->isEditing());
    m_delete->setEnabled(ops.remove);
    const bool rows = m_set->isActive() && m_set->rowCount() > 0;
    for (QToolButton *b : {m_first, m_prior, m_next, m_last})
        b->setEnabled(rows);
}

void TfrmCustStateNew::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    updateButtons();
    m_date->setFocus(Qt::OtherFocusReason);
}

void TfrmCustStateNew::showTime()
{
    if (m_showingTime)
        return;
    m_showingTime = true;
    const QString text = m_set->isActive() && m_set->currentRow() >= 0 ? m_set->value(kTime).toString() : QString();
    if (m_time->text() != text)
        m_time->setText(text);
    m_showingTime = false;
}

void TfrmCustStateNew::storeTime(const QString &text)
{
    if (m_showingTime || !m_set->isActive())
        return;
    bool digits = false;
    for (const QChar c : text)
        digits = digits || c.isDigit();
    m_showingTime = true;
    m_set->setValue(kTime, digits ? QVariant(text) : QVariant());
    m_showingTime = false;
}

bool TfrmCustStateNew::nothingTyped() const
{
    for (const char *f : kTyped)
        if (!m_set->isBlank(QString::fromLatin1(f)))
            return false;
    return true;
}

void TfrmCustStateNew::discard()
{
    m_set->cancel();
}

bool TfrmCustStateNew::checksPass()
{
    for (const Required &r : std::as_const(m_required)) {
        if (m_set->isBlank(r.field)) {
            Prompts::instance().warn(r.message);
            r.widget->setFocus(Qt::OtherFocusReason);
            return false;
        }
    }
    return true;
}

bool TfrmCustStateNew::store()
{
    if (!m_set->isEditing())
        return true;
    if (m_set->post())
        return true;
    Prompts::instance().warn(m_set->lastError());
    return false;
}

void TfrmCustStateNew::BtnNewClick()
{
    if (!UserRights::current().ops(kRight).insert || m_set->state() == Dataset::State::Insert)
        return;
    // A contact belongs to a customer: without one in hand the row could
    // never be found again.
    Dataset *customers = TdmMain::instance()->dataset(QStringLiteral("tblCustomers"));
    if (!customers || !customers->isActive() || customers->currentRow() < 0 || customers->isBlank(QStringLiteral("CustId")))
        return;
    if (!m_set->isActive() && !m_set->open()) {
        Prompts::instance().warn(m_set->lastError());
        return;
    }
    if (!m_set->append()) {
        Prompts::instance().warn(m_set->lastError());
        return;
    }
    m_date->setFocus(Qt::OtherFocusReason);
}

void TfrmCustStateNew::BtnSaveClick()
{
    if (checksPass())
        store();
}

void TfrmCustStateNew::BtnDeleteClick()
{
    if (!UserRights::current().ops(kRight).remove)
        return;
    if (!m_set->isActive() || m_set->isEmpty() || m_set->currentRow() < 0)
        return;
    if (!Prompts::instance().askOkCancel(QStringLiteral("您真的要删除该接触机会信息吗？"), Prompts::Icon::Warning))
        return;
    if (m_set->state() == Dataset::State::Insert) {
        discard(); // never stored
        return;
    }
    if (m_set->isEditing())
        discard();
    if (!m_set->remove())
        Prompts::instance().warn(m_set->lastError());
}

void TfrmCustStateNew::navigate(Move move)
{
    if (!m_set->isActive() || m_set->currentRow() < 0)
        return;
    const int current = m_set->currentRow();
    int target = 0;
    switch (move) {
    case Move::First:
        target = 0;
        break;
    case Move::Prior:
        target = current - 1;
        break;
    case Move::Next:
        target = current + 1;
        break;
    case Move::Last:
        target = m_set->rowCount() - 1;
        break;
    }
    // Leaving the row ends its editing either way: an untouched new row is
    // dropped, anything else is stored as moving in the set stores it.
    if (m_set->state() == Dataset::State::Insert && nothingTyped()) {
        discard();
    } else if (m_set->isEditing() && !m_set->post()) {
        Prompts::instance().warn(m_set->lastError());
        return;
    }
    if (m_set->rowCount() == 0)
        return;
    m_set->setCurrentRow(std::clamp(target, 0, m_set->rowCount() - 1));
}
