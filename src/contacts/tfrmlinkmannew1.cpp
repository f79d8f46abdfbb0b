#include "contacts/tfrmlinkmannew1.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/documentfolders.h"
#include "data/sharedsets.h"
#include "ui/folderfollow.h"
#include "ui/links.h"
#include "ui/recorddialogs.h"

#include <QBoxLayout>
#include <QLineEdit>
#include <QPushButton>

const QString TfrmLinkmanNew1::kCloseQuestion = QStringLiteral("联系人资料尚未保存，保存吗？");

namespace {
RecordDialogDesc contactDialog()
{
    RecordDialogDesc d;
    d.className = QStringLiteral("TfrmLinkmanNew1");
    d.caption = QStringLiteral("联系人");
    d.dataset = Sets::kCustomerContacts;
    d.rightCode = QStringLiteral("301");
    d.logPrefix = QStringLiteral("客户业务管理-联系人资料");
    d.closeQuestion = TfrmLinkmanNew1::kCloseQuestion;
    d.closeMessages = {{"Name", "请输入联系人名称！"}};
    using namespace Field;
    d.form = {
        {"LinkmanID", "联系人代码：", line()},
        {"Name", "联系人姓名：", line()},
        {"Main", "是否主要联系人", check()},
        {"CustName", "客户名称：", line()},
        {"NickName", "称　　呼：", line()},
        {"Department", "部　　门：", line()},
        {"Duty", "职　　务：", line()},
        {"Telephone", "联系电话：", line()},
        {"Fax", "传　　真：", line()},
        {"Mobile", "移动电话：", line()},
        {"HomeAddress", "详细地址：", line(), opts().wide(2).onNewLine()},
        {"Email", "Email邮箱：", line(), opts().withButton("BtnMail", "发送邮件")},
        {"HomePage", "主　　页：", line(), opts().withButton("BtnOpen", "打开...")},
        {"Enjoy", "兴趣爱好：", line()},
        {"SpecialDate", "特殊纪念日：", date()},
        {"Memo", "备　　注：", memo(), opts().wide(2).onNewLine().maxHeight(80)},
    };
    return d;
}

Dataset *currentCustomers()
{
    return TdmMain::instance()->dataset(Sets::kCustomerList);
}
} // namespace

TfrmLinkmanNew1::TfrmLinkmanNew1(QWidget *parent) : RecordDialog(contactDialog(), parent)
{
    // The customer is the one the customer window is on: shown, not typed.
    QLineEdit *customer = edit(QStringLiteral("CustName"));
    customer->setReadOnly(true);
    for (const char *f : {"Email", "HomePage"})
        edit(QString::fromLatin1(f))->setStyleSheet(
            QStringLiteral("QLineEdit { color: #0645ad; text-decoration: underline; }"));
    connect(form()->button(QStringLiteral("BtnMail")), &QPushButton::clicked, this, &TfrmLinkmanNew1::BtnMailClick);
    connect(form()->button(QStringLiteral("BtnOpen")), &QPushButton::clicked, this, &TfrmLinkmanNew1::BtnOpenClick);

    // "复制客户资料" heads the column of buttons.
    m_copy = new QPushButton(QStringLiteral("复制客户资料"), this);
    m_copy->setObjectName(QStringLiteral("BtnCopy"));
    m_copy->setAutoDefault(false);
    connect(m_copy, &QPushButton::clicked, this, &TfrmLinkmanNew1::BtnCopyClick);
    QPushButton *first = button(QStringLiteral("BtnNew"));
    for (int i = 0; i < layout()->count(); ++i)
        if (auto *column = qobject_cast<QBoxLayout *>(layout()->itemAt(i)->layout());
            column && column->indexOf(first) >= 0) {
            column->insertWidget(0, m_copy);
            break;
        }
}

void TfrmLinkmanNew1::install()
{
    RecordDialogs::install(Sets::kCustomerContacts, [](QWidget *parent) {
        Dataset *customers2 = TdmMain::instance()->dataset(Sets::kCustomerNames);
        if (customers2->isActive())
            customers2->refresh();
        TfrmLinkmanNew1 dlg(parent);
        dlg.exec();
    });
}

QLineEdit *TfrmLinkmanNew1::edit(const QString &field) const
{
    return qobject_cast<QLineEdit *>(form()->widget(field));
}

bool TfrmLinkmanNew1::canStartNew()
{
    // A contact belongs to a customer: without one in hand the row could
    // never be found again.
    Dataset *customers = currentCustomers();
    return customers && customers->isActive() && customers->currentRow() >= 0
        && !customers->isBlank(QStringLiteral("CustId"));
}

void TfrmLinkmanNew1::beforeStore()
{
    // The contact's documents live in its customer's folder.
    const QString code = dataset()->value(QStringLiteral("CustID")).toString();
    followFolder(code.isEmpty() ? DocumentFolders::root() : DocumentFolders::customer(code));
}

void TfrmLinkmanNew1::BtnCopyClick()
{
    // Only a contact being made takes the customer's details; a stored one
    // keeps its own.
    Dataset *contact = dataset();
    Dataset *customer = currentCustomers();
    if (contact->state() != Dataset::State::Insert || !customer->isActive() || customer->currentRow() < 0)
        return;
    const std::pair<const char *, const char *> pairs[] = {
        {"Telephone", "Telephone"}, {"Fax", "Fax"}, {"Address", "HomeAddress"}, {"Email", "Email"},
        {"HomePage", "HomePage"}};
    for (const auto &[from, to] : pairs) {
        const QString text = customer->value(QString::fromLatin1(from)).toString();
        if (!text.isEmpty())
            contact->setValue(QString::fromLatin1(to), text);
    }
}

void TfrmLinkmanNew1::BtnMailClick()
{
    openMailTo(edit(QStringLiteral("Email"))->text());
}

void TfrmLinkmanNew1::BtnOpenClick()
{
    openWebAddress(edit(QStringLiteral("HomePage"))->text());
}
