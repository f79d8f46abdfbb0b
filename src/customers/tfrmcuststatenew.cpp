#include "customers/tfrmcuststatenew.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/sharedsets.h"
#include "ui/dateedit.h"
#include "ui/recorddialogs.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {
RecordDialogDesc historyDialog()
{
    RecordDialogDesc d;
    d.className = QStringLiteral("TfrmCustStateNew");
    d.caption = QStringLiteral("客户接触");
    d.dataset = Sets::kCustomerHistory;
    d.rightCode = QStringLiteral("301");
    d.closeQuestion = QStringLiteral("客户接触信息尚未保存，保存吗？");
    d.navigatorHeading = QStringLiteral("客户接触：");
    d.pairsPerLine = 1;
    using namespace Field;
    d.form = {{"LinkDate", "联系日期：", date()},
              {"LinkTime", "联系时间：", mask(QStringLiteral("99:99:99;_"))},
              {"LinkType", "联系方式：", suggestions(TfrmCustStateNew::linkTypes())},
              {"Linkman", "联 系 人：", line()},
              {"Duty", "职　　务：", line()},
              {"LinkContent", "联系内容：", line()},
              {"Address", "地　　点：", line()},
              {"Charge", "费用开销：", number()},
              {"Memo", "备注：", memo()}};
    return d;
}
} // namespace

const QStringList &TfrmCustStateNew::linkTypes()
{
    static const QStringList types{QStringLiteral("电话联系"), QStringLiteral("登门拜访"),
                                   QStringLiteral("电子邮件联系"), QStringLiteral("应邀上门"),
                                   QStringLiteral("招待客户")};
    return types;
}

TfrmCustStateNew::TfrmCustStateNew(QWidget *parent) : RecordDialog(historyDialog(), parent)
{
    form()->grid()->setRowStretch(form()->rows().size() - 1, 1);
}

DateEdit *TfrmCustStateNew::linkDate() const { return qobject_cast<DateEdit *>(form()->widget(QStringLiteral("LinkDate"))); }
QLineEdit *TfrmCustStateNew::linkTime() const { return qobject_cast<QLineEdit *>(form()->widget(QStringLiteral("LinkTime"))); }
QComboBox *TfrmCustStateNew::linkType() const { return qobject_cast<QComboBox *>(form()->widget(QStringLiteral("LinkType"))); }
QLineEdit *TfrmCustStateNew::linkman() const { return qobject_cast<QLineEdit *>(form()->widget(QStringLiteral("Linkman"))); }
QLineEdit *TfrmCustStateNew::duty() const { return qobject_cast<QLineEdit *>(form()->widget(QStringLiteral("Duty"))); }
QLineEdit *TfrmCustStateNew::content() const { return qobject_cast<QLineEdit *>(form()->widget(QStringLiteral("LinkContent"))); }
QLineEdit *TfrmCustStateNew::address() const { return qobject_cast<QLineEdit *>(form()->widget(QStringLiteral("Address"))); }
QLineEdit *TfrmCustStateNew::charge() const { return qobject_cast<QLineEdit *>(form()->widget(QStringLiteral("Charge"))); }
QPlainTextEdit *TfrmCustStateNew::memo() const { return qobject_cast<QPlainTextEdit *>(form()->widget(QStringLiteral("Memo"))); }

QList<QWidget *> TfrmCustStateNew::fieldsInEnterOrder() const
{
    return form()->enterOrder();
}

bool TfrmCustStateNew::canStartNew()
{
    // A contact belongs to a customer: without one in hand the row could
    // never be found again.
    Dataset *customers = TdmMain::instance()->dataset(Sets::kCustomerList);
    return customers && customers->isActive() && customers->currentRow() >= 0
        && !customers->isBlank(QStringLiteral("CustId"));
}

void TfrmCustStateNew::installIfMissing()
{
    if (!RecordDialogs::has(Sets::kCustomerHistory))
        RecordDialogs::install(Sets::kCustomerHistory, [](QWidget *parent) {
            TfrmCustStateNew dlg(parent);
            dlg.exec();
        });
}
