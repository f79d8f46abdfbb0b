#include "workers/tfrmshusongyj.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/sharedsets.h"
#include "ui/recorddialogs.h"

#include <QIntValidator>
#include <QLineEdit>

const QString TfrmShusongYJ::kCloseQuestion = QStringLiteral("输送单位佣金结算资料尚未保存，保存吗？");

namespace {
RecordDialogDesc settlementDialog()
{
    RecordDialogDesc d;
    d.className = QStringLiteral("TfrmShusongYJ");
    d.caption = QStringLiteral("佣金结算");
    d.dataset = Sets::kSettlements;
    d.rightCode = QStringLiteral("603");
    d.closeQuestion = TfrmShusongYJ::kCloseQuestion;
    d.navigatorHeading = QStringLiteral("佣金结算：");
    d.pairsPerLine = 1;
    d.newWhileAdding = true;
    using namespace Field;
    d.form = {
        {"sNo", "子项编号：", line(), opts().withNote("（请输入数字编码）")},
        {"JDate", "结算日期：", date()},
        {"Jingban", "经 办 人：", line()},
        {"BeginDate", "开始日期：", date()},
        {"EndDate", "截止日期：", date()},
        {"Jieshao", "介 绍 费：", number()},
        {"Qita", "其他费用：", number()},
        {"Memo", "备　　注：", memo(), opts().maxHeight(60)},
    };
    return d;
}
} // namespace

TfrmShusongYJ::TfrmShusongYJ(QWidget *parent) : RecordDialog(settlementDialog(), parent)
{
    // The item number is a whole number: other text never reaches the row.
    if (auto *number = qobject_cast<QLineEdit *>(form()->widget(QStringLiteral("sNo"))))
        number->setValidator(new QIntValidator(0, 2147483647, number));
}

void TfrmShusongYJ::install()
{
    RecordDialogs::install(Sets::kSettlements, [](QWidget *parent) {
        TfrmShusongYJ dlg(parent);
        dlg.exec();
    });
}

bool TfrmShusongYJ::canStartNew()
{
    // A settlement belongs to a stored unit.
    Dataset *units = TdmMain::instance()->dataset(Sets::kUnits);
    return units && units->isActive() && units->currentRow() >= 0
        && units->state() != Dataset::State::Insert && !units->isBlank(QStringLiteral("ShusongID"));
}
