#include "workers/tfrmyuangongnew1.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/documentfolders.h"
#include "data/sharedsets.h"
#include "ui/fieldbinder.h"
#include "ui/folderfollow.h"
#include "ui/links.h"
#include "ui/logcommand.h"
#include "ui/moduleframe.h"
#include "ui/photobox.h"
#include "ui/prompts.h"
#include "ui/recorddialogs.h"
#include "ui/tfrmimage.h"
#include "workers/entrywarnings.h"
#include "workers/workerfields.h"

#include <QBoxLayout>
#include <QGridLayout>
#include <QLineEdit>
#include <QPushButton>

const QString TfrmYuangongNew1::kCloseQuestion = QStringLiteral("员工档案尚未保存，保存吗？");

namespace {
RecordDialogDesc workerDialog()
{
    RecordDialogDesc d;
    d.className = QStringLiteral("TfrmYuangongNew1");
    d.caption = QStringLiteral("员工资料");
    d.dataset = Sets::kPlacedWorkers;
    d.rightCode = QStringLiteral("301");
    d.closeQuestion = TfrmYuangongNew1::kCloseQuestion;
    d.form = WorkerFields::form(WorkerFields::Place::Dialog);
    return d;
}

Dataset *currentCustomers()
{
    return TdmMain::instance()->dataset(Sets::kCustomerList);
}

QBoxLayout *columnHolding(QLayout *outer, QWidget *w)
{
    for (int i = 0; i < outer->count(); ++i)
        if (auto *column = qobject_cast<QBoxLayout *>(outer->itemAt(i)->layout()); column && column->indexOf(w) >= 0)
            return column;
    return nullptr;
}
} // namespace

TfrmYuangongNew1::TfrmYuangongNew1(QWidget *parent) : RecordDialog(workerDialog(), parent)
{
    // The customer is the one the customer window is on: shown, not typed.
    edit(QStringLiteral("CustID"))->setReadOnly(true);
    edit(QStringLiteral("Email"))->setStyleSheet(
        QStringLiteral("QLineEdit { color: #0645ad; text-decoration: underline; }"));
    connect(form()->button(QStringLiteral("BtnMail")), &QPushButton::clicked, this, &TfrmYuangongNew1::BtnMailClick);
    m_warnings = WorkerFields::watchNumbers(form(), dataset(), this);
    // Both columns of fields share the width, so that codes, addresses
    // and the e-mail address show whole.
    form()->grid()->setColumnStretch(1, 1);
    form()->grid()->setColumnStretch(3, 1);
    setMinimumWidth(820);

    // The photo and "放大" stand between the fields and the buttons.
    auto *side = new QVBoxLayout;
    m_photo = new PhotoBox(this);
    m_photo->setObjectName(QStringLiteral("Edit_Photo"));
    binder()->bind(m_photo, QStringLiteral("Photo"));
    side->addWidget(m_photo);
    auto *zoom = new QPushButton(QStringLiteral("放大"), this);
    zoom->setObjectName(QStringLiteral("BtnZoom"));
    zoom->setAutoDefault(false);
    zoom->setFocusPolicy(Qt::NoFocus);
    connect(zoom, &QPushButton::clicked, this, &TfrmYuangongNew1::BtnZoomClick);
    side->addWidget(zoom);
    side->addStretch(1);
    if (auto *outer = qobject_cast<QBoxLayout *>(layout()))
        outer->insertLayout(1, side);

    // "打印" stands between "删除" and "关闭".
    m_print = new QPushButton(QStringLiteral("打印"), this);
    m_print->setObjectName(QStringLiteral("BtnPrint"));
    m_print->setAutoDefault(false);
    m_print->setEnabled(UserRights::current().ops(QStringLiteral("301")).print);
    connect(m_print, &QPushButton::clicked, this, &TfrmYuangongNew1::BtnPrintClick);
    QPushButton *close = button(QStringLiteral("BtnClose"));
    if (QBoxLayout *column = columnHolding(layout(), close))
        column->insertWidget(column->indexOf(close), m_print);
}

void TfrmYuangongNew1::install()
{
    RecordDialogs::install(Sets::kWorkers, [](QWidget *parent) {
        TdmMain *dm = TdmMain::instance();
        for (const QString &name : {Sets::kSkillLevels, Sets::kHealthChecks, Sets::kDepartments, Sets::kTrades,
                                    Sets::kUnitNames}) {
            Dataset *s = dm->dataset(name);
            if (!s->isActive() && !s->open())
                Prompts::instance().warn(s->lastError());
        }
        TfrmYuangongNew1 dlg(parent);
        dlg.exec();
    });
}

QLineEdit *TfrmYuangongNew1::edit(const QString &field) const
{
    return qobject_cast<QLineEdit *>(form()->widget(field));
}

bool TfrmYuangongNew1::canStartNew()
{
    // A worker added here is placed with the customer in hand; without one
    // the row would belong to nobody.
    Dataset *customers = currentCustomers();
    return customers && customers->isActive() && customers->currentRow() >= 0
        && !customers->isBlank(QStringLiteral("CustId"));
}

bool TfrmYuangongNew1::checksPass()
{
    if (!RecordDialog::checksPass())
        return false;
    m_warnings->warnPending();
    return true;
}

void TfrmYuangongNew1::beforeStore()
{
    followFolder(DocumentFolders::yuangongFamily());
}

void TfrmYuangongNew1::PhotoClick()
{
    emit m_photo->clicked();
}

void TfrmYuangongNew1::BtnZoomClick()
{
    const QString path = dataset()->isActive() && dataset()->currentRow() >= 0
        ? dataset()->value(QStringLiteral("Photo")).toString()
        : QString();
    TfrmImage dlg(path, this);
    dlg.exec();
}

void TfrmYuangongNew1::BtnMailClick()
{
    openMailTo(edit(QStringLiteral("Email"))->text());
}

void TfrmYuangongNew1::BtnPrintClick()
{
    if (!logCommand(QStringLiteral("客户业务管理-客户资料-员工资料-打印")))
        return;
    ModuleFrame::print(dataset(), QStringLiteral("frCustomerYuangong"), this);
}
