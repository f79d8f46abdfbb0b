#include "contracts/tfrmoperatenew1.h"

#include "contracts/contracteditor.h"
#include "customers/customerpicker.h"
#include "customers/pickercontext.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/documentfolders.h"
#include "data/sharedsets.h"
#include "data/userrights.h"
#include "ui/fieldbinder.h"
#include "ui/folderfollow.h"
#include "ui/logcommand.h"
#include "ui/moduleframe.h"
#include "ui/recorddialogs.h"

#include <QBoxLayout>
#include <QEvent>
#include <QPushButton>

const QString TfrmOperateNew1::kCloseQuestion = QStringLiteral("业务资料尚未保存，保存吗？");

namespace {
RecordDialogDesc contractDialog()
{
    RecordDialogDesc d;
    d.className = QStringLiteral("TfrmOperateNew1");
    d.caption = QStringLiteral("业务（合同）资料");
    d.dataset = Sets::kCustomerContracts;
    d.rightCode = QStringLiteral("301");
    d.logPrefix = QStringLiteral("客户业务管理-业务资料");
    d.closeQuestion = TfrmOperateNew1::kCloseQuestion;
    d.closeMessages = {{"CreateDate", "请输入客户建档时间！"}};
    // The signing date is asked for before the direction, although the
    // direction stands first on the screen: the order every clerk knows.
    d.checkOrder = {QStringLiteral("OperateID"), QStringLiteral("OperateTitle"), QStringLiteral("CreateDate"),
                    QStringLiteral("OriginId"),  QStringLiteral("TypeID"),       QStringLiteral("WriteDate"),
                    QStringLiteral("InOrOut"),   QStringLiteral("EndDate"),      QStringLiteral("OperateStateID")};
    d.form = ContractForm::rows(ContractForm::Host::Dialog);
    return d;
}

Dataset *currentCustomers() { return TdmMain::instance()->dataset(Sets::kCustomerList); }
} // namespace

TfrmOperateNew1::TfrmOperateNew1(QWidget *parent) : RecordDialog(contractDialog(), parent)
{
    m_editor = new ContractEditor(form(), dataset(), this);
    connect(form()->button(QStringLiteral("BtnLinkCustQuery")), &QPushButton::clicked, this,
            &TfrmOperateNew1::BtnLinkCustQueryClick);
    // Entering the linked customer offers every customer.
    if (QWidget *w = form()->widget(QStringLiteral("LinkCustID")))
        w->installEventFilter(this);

    // "打印" stands between "删除" and "关闭".
    m_print = new QPushButton(QStringLiteral("打印"), this);
    m_print->setObjectName(QStringLiteral("BtnPrint"));
    m_print->setAutoDefault(false);
    m_print->setEnabled(UserRights::current().ops(QStringLiteral("304")).print);
    connect(m_print, &QPushButton::clicked, this, &TfrmOperateNew1::BtnPrintClick);
    QPushButton *close = button(QStringLiteral("BtnClose"));
    for (int i = 0; i < layout()->count(); ++i)
        if (auto *column = qobject_cast<QBoxLayout *>(layout()->itemAt(i)->layout());
            column && column->indexOf(close) >= 0) {
            column->insertWidget(column->indexOf(close), m_print);
            break;
        }
}

void TfrmOperateNew1::install()
{
    RecordDialogs::install(Sets::kCustomerContracts, [](QWidget *parent) {
        TdmMain *dm = TdmMain::instance();
        for (const QString &name : {Sets::kCurrencies, Sets::kContractTypes, Sets::kContractOrigins,
                                    Sets::kContractStates, Sets::kStaff, Sets::kCustomerContacts,
                                    Sets::kAllCustomers}) {
            Dataset *s = dm->dataset(name);
            if (!s->isActive())
                s->open();
        }
        TfrmOperateNew1 dlg(parent);
        dlg.exec();
    });
}

bool TfrmOperateNew1::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusIn && watched == form()->widget(QStringLiteral("LinkCustID"))) {
        Dataset *all = TdmMain::instance()->dataset(Sets::kAllCustomers);
        if (!all->filter().isNull())
            all->clearFilter();
    }
    return RecordDialog::eventFilter(watched, event);
}

bool TfrmOperateNew1::canStartNew()
{
    // A contract started here belongs to the current customer.
    Dataset *customers = currentCustomers();
    return customers && customers->isActive() && customers->currentRow() >= 0
        && !customers->isBlank(QStringLiteral("CustId"));
}

void TfrmOperateNew1::beforeStore()
{
    // The contract's documents live in its customer's folder.
    const QString code = dataset()->value(QStringLiteral("CustID")).toString();
    followFolder(code.isEmpty() ? DocumentFolders::root() : DocumentFolders::customer(code));
}

void TfrmOperateNew1::BtnLinkCustQueryClick()
{
    customerPickerContext() = PickerContext::kContractDialogLinkCustomer;
    TfrmCustomerQuery1 picker(dataset(), QStringLiteral("LinkCustID"), this);
    picker.exec();
    binder()->refresh();
}

void TfrmOperateNew1::BtnPrintClick()
{
    if (!logCommand(QStringLiteral("客户业务管理-业务资料-打印")))
        return;
    ModuleFrame::print(dataset(), QStringLiteral("frOperateDetail1"), this);
}
