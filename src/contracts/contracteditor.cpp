#include "contracts/contracteditor.h"

#include "contracts/data/contractmoney.h"
#include "data/dataset.h"
#include "data/money.h"
#include "data/sharedsets.h"
#include "ui/fieldbinder.h"
#include "ui/prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPushButton>

namespace ContractForm {

FormSpec rows(Host host)
{
    using namespace Field;
    const bool page = host == Host::DetailPage;
    FormSpec f;
    f << FormRow{"OperateID", "业务编码：", line(), opts().withNote("（请输入唯一业务编码标识）")};
    f << FormRow{"OperateTitle", "业务标题：", line()};
    if (page)
        f << FormRow{"CustID", "相关客户：", dictionary(Sets::kCustomerNames, "CustId", "CustName"),
                     opts().withButton("BtnCustQuery", "查询...")};
    else
        f << FormRow{"CustName", "相关客户：", line()};
    f << FormRow{"Link", "该业务是否有相关联系客户", check()};
    // In the dialog every customer may be the linked one.
    f << FormRow{"LinkCustID", "联系客户：",
                 dictionary(page ? Sets::kCustomerNames : Sets::kAllCustomers, "CustId", "CustName"),
                 opts().withButton("BtnLinkCustQuery", "查询...")};
    f << FormRow{"CreateDate", "建档时间：", date()};
    if (page) // the contacts of the customer chosen above: the window fills the list
        f << FormRow{"LinkmanID", "联系人：", custom([](QWidget *parent) { return new QComboBox(parent); })};
    else
        f << FormRow{"LinkmanID", "联系人：", dictionary(Sets::kCustomerContacts, "LinkmanID", "Name")};
    f << FormRow{"OriginId", "业务来源：", dictionary(Sets::kContractOrigins, "OriginID", "OriginName")};
    f << FormRow{"TypeID", "业务类型：", dictionary(Sets::kContractTypes, "TypeID", "TypeName")};
    f << FormRow{"InOrOut", "收付类型：", fixedList({QStringLiteral("收款"), QStringLiteral("付款")})};
    f << FormRow{"OperaterID", "工作人员：", dictionary(Sets::kStaff, "OperaterID", "Name")};
    f << FormRow{"WriteDate", "签约日期：", date()};
    f << FormRow{"EndDate", "截止日期：", date()};
    f << FormRow{"CompactAmount", "合同金额：", number()};
    f << FormRow{"CurrID", "币别名称：", dictionary(Sets::kCurrencies, "CurrID", "CurrName")};
    f << FormRow{"RMB", "折人民币：", line()};
    f << FormRow{"Profit", "预计利润：", number()};
    f << FormRow{"Rate", "利润率：", line()};
    f << FormRow{"OperateStateID", "业务状态：",
                 dictionary(Sets::kContractStates, "OperateStateID", "OperateStateName")};
    f << FormRow{"FilePath", "备    注：", memo(), opts().wide(2).onNewLine().maxHeight(50)};
    return f;
}

} // namespace ContractForm

ContractEditor::ContractEditor(Form *form, Dataset *set, QObject *parent) : QObject(parent), m_form(form), m_set(set)
{
    // Once the tick has reached the row: the box's own toggled signal comes
    // before the binder stores it, when the row still says the opposite.
    connect(set, &Dataset::fieldChanged, this, [this](const QString &field) {
        if (field.compare(QStringLiteral("Link"), Qt::CaseInsensitive) == 0)
            followLink();
    });
    connect(set, &Dataset::currentRowChanged, this, &ContractEditor::followLink);
    connect(set, &Dataset::stateChanged, this, &ContractEditor::followLink);
    connect(set, &Dataset::rowsReset, this, &ContractEditor::followLink);
    showComputed(form, set, this);
    // After the binder has stored the code chosen.
    if (auto *c = qobject_cast<QComboBox *>(form->widget(QStringLiteral("CurrID"))))
        connect(c, &QComboBox::activated, this, &ContractEditor::currencyChosen);
    for (const char *f : {"CompactAmount", "Profit"})
        if (QWidget *w = form->widget(QString::fromLatin1(f)))
            w->installEventFilter(this);
    followLink();
}

QString ContractEditor::rmbText(const QVariant &v)
{
    const auto m = Money::fromVariant(v);
    return m ? m->toCurrencyText() : QString();
}

QString ContractEditor::rateText(const QVariant &v)
{
    // The plain fraction it is kept as (0.25 for a quarter), to the four
    // places that amounts keep.
    const auto m = Money::fromVariant(v);
    return m ? m->toString() : QString();
}

void ContractEditor::showComputed(Form *form, Dataset *set, QObject *owner)
{
    const std::pair<const char *, QString (*)(const QVariant &)> fields[] = {{"RMB", &rmbText}, {"Rate", &rateText}};
    // Computed, never typed.
    for (const auto &f : fields)
        if (auto *e = qobject_cast<QLineEdit *>(form->widget(QString::fromLatin1(f.first)))) {
            e->setReadOnly(true);
            e->setAlignment(Qt::AlignRight);
        }
    // After the binder has shown the stored values: the computed two in
    // the forms the grids use.
    auto show = [form, set, fields] {
        const bool row = set->isActive() && set->currentRow() >= 0;
        for (const auto &[field, text] : fields) {
            auto *e = qobject_cast<QLineEdit *>(form->widget(QString::fromLatin1(field)));
            if (!e)
                continue;
            const QString shown = row ? text(set->value(QString::fromLatin1(field))) : QString();
            if (e->text() != shown)
                e->setText(shown);
        }
    };
    for (auto signal : {&Dataset::currentRowChanged, &Dataset::rowChanged})
        QObject::connect(set, signal, owner, show);
    QObject::connect(set, &Dataset::stateChanged, owner, show);
    QObject::connect(set, &Dataset::rowsReset, owner, show);
    QObject::connect(set, &Dataset::fieldChanged, owner, show);
    show();
}

bool ContractEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        if (watched == m_form->widget(QStringLiteral("CompactAmount")))
            amountLeft();
        else if (watched == m_form->widget(QStringLiteral("Profit")))
            profitLeft();
    }
    return QObject::eventFilter(watched, event);
}

void ContractEditor::followLink()
{
    const bool linked = m_set->isActive() && m_set->currentRow() >= 0 && m_set->value(QStringLiteral("Link")).toBool();
    if (QWidget *w = m_form->widget(QStringLiteral("LinkCustID")))
        w->setEnabled(linked);
    if (QPushButton *b = m_form->button(QStringLiteral("BtnLinkCustQuery")))
        b->setEnabled(linked);
}

void ContractEditor::convert()
{
    if (!m_set->isEditing() || !m_set->database())
        return;
    QString error;
    const auto rate = ContractMoney::currencyRate(*m_set->database(), m_set->value(QStringLiteral("CurrID")).toString(), &error);
    if (!error.isEmpty()) {
        Prompts::instance().warn(error);
        return;
    }
    if (rate)
        m_set->setValue(QStringLiteral("RMB"), ContractMoney::rmb(m_set->value(QStringLiteral("CompactAmount")), *rate));
}

void ContractEditor::amountLeft()
{
    if (!m_set->isActive() || (m_set->currentRow() < 0 && !m_set->isEditing()))
        return;
    // A user who may not change the contract leaves it as it is.
    if (!m_set->isEditing() && !Form::userMayChange(m_set, QString()))
        return;
    if (!m_set->isEditing() && !m_set->edit())
        return;
    if (!m_set->isBlank(QStringLiteral("CurrID")))
        convert();
}

void ContractEditor::currencyChosen()
{
    if (!m_set->isActive() || (!m_set->isEditing() && !Form::userMayChange(m_set, QString())))
        return;
    if (!m_set->isEditing() && !m_set->edit())
        return;
    convert();
}

void ContractEditor::profitLeft()
{
    if (!m_set->isEditing())
        return;
    m_set->setValue(QStringLiteral("Rate"), ContractMoney::profitRate(m_set->value(QStringLiteral("Profit")),
                                                                       m_set->value(QStringLiteral("CompactAmount"))));
}
