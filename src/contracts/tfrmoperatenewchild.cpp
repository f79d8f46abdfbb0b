#include "contracts/tfrmoperatenewchild.h"

#include "contracts/data/contractmoney.h"
#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/sharedsets.h"
#include "reference/referencewindows.h"
#include "ui/fieldbinder.h"
#include "ui/prompts.h"
#include "ui/recorddialogs.h"

#include <QComboBox>
#include <QEvent>
#include <QIntValidator>
#include <QLineEdit>
#include <QPushButton>

const QString TfrmOperateNewChild::kCloseQuestion = QStringLiteral("业务子项资料尚未保存，保存吗？");

namespace {
RecordDialogDesc lineDialog()
{
    RecordDialogDesc d;
    d.className = QStringLiteral("TfrmOperateNewChild");
    d.caption = QStringLiteral("业务子项");
    d.dataset = Sets::kMoneyLines;
    d.rightCode = QStringLiteral("304");
    d.closeQuestion = TfrmOperateNewChild::kCloseQuestion;
    d.navigatorHeading = QStringLiteral("业务子项：");
    d.pairsPerLine = 1;
    d.newWhileAdding = true;
    using namespace Field;
    d.form = {
        {"DetailNo", "子项编号：", line(), opts().withNote("（请输入数字编码）")},
        {"OperateDate", "发生日期：", date()},
        {"DTitle", "子项主题：", line()},
        {"InOut", "收支描述：",
         fixedList({QStringLiteral("收入"), QStringLiteral("支出"), QStringLiteral("业务联系"), QStringLiteral("拜访"),
                    QStringLiteral("招待")})},
        {"CurrID", "币    别：", dictionary(Sets::kCurrencies, "CurrID", "CurrName"),
         opts().withButton("BtnRateQuery", "汇率查询")},
        {"Price", "单    价：", number()},
        {"Amount", "数    量：", number()},
        {"DTotal", "总　　计：", line()},
        {"RMB", "折人民币：", line()},
        {"Memo", "描　　述：", line()},
    };
    return d;
}
} // namespace

TfrmOperateNewChild::TfrmOperateNewChild(QWidget *parent) : RecordDialog(lineDialog(), parent)
{
    // A line number is digits.
    if (auto *no = qobject_cast<QLineEdit *>(form()->widget(QStringLiteral("DetailNo"))))
        no->setValidator(new QIntValidator(0, 999999999, no));
    for (const char *f : {"DTotal", "RMB"})
        if (auto *e = qobject_cast<QLineEdit *>(form()->widget(QString::fromLatin1(f)))) {
            e->setReadOnly(true);
            e->setAlignment(Qt::AlignRight);
        }
    if (QWidget *qty = form()->widget(QStringLiteral("Amount")))
        qty->installEventFilter(this);
    if (auto *c = qobject_cast<QComboBox *>(form()->widget(QStringLiteral("CurrID"))))
        connect(c, &QComboBox::activated, this, &TfrmOperateNewChild::recompute);
    connect(form()->button(QStringLiteral("BtnRateQuery")), &QPushButton::clicked, this,
            &TfrmOperateNewChild::BtnRateQueryClick);
}

void TfrmOperateNewChild::install()
{
    RecordDialogs::install(Sets::kMoneyLines, [](QWidget *parent) {
        Dataset *currencies = TdmMain::instance()->dataset(Sets::kCurrencies);
        if (!currencies->isActive())
            currencies->open();
        TfrmOperateNewChild dlg(parent);
        dlg.exec();
    });
}

bool TfrmOperateNewChild::canStartNew()
{
    // A line belongs to the stored contract the window shows.
    return dataset()->canAddDetail();
}

bool TfrmOperateNewChild::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && watched == form()->widget(QStringLiteral("Amount")))
        recompute();
    return RecordDialog::eventFilter(watched, event);
}

void TfrmOperateNewChild::recompute()
{
    Dataset *line = dataset();
    if (!line->isActive() || (line->currentRow() < 0 && !line->isEditing()))
        return;
    if (!line->isEditing() && (!Form::userMayChange(line, description().rightCode) || !line->edit()))
        return;
    const HookResult r = ContractMoney::recomputeLine(*line);
    if (r.kind == HookResult::Refuse)
        Prompts::instance().warn(r.message);
}

void TfrmOperateNewChild::BtnRateQueryClick()
{
    openReferenceWindow(QStringLiteral("TfrmCurrencyRate"), this);
}
