#include "schedule/tfrmboard.h"

#include "data/dataset.h"
#include "data/sharedsets.h"
#include "ui/prompts.h"

// A notice half typed is not thrown away without a word.
const QString TfrmBoard::kCloseQuestion = QStringLiteral("公告资料尚未保存，保存吗？");

namespace {
RecordDialogDesc boardDialog()
{
    RecordDialogDesc d;
    d.className = QStringLiteral("TfrmBoard");
    d.caption = QStringLiteral("公告板");
    d.dataset = Sets::kNotices;
    d.rightCode = QStringLiteral("501");
    d.logPrefix = QStringLiteral("工具-公告板");
    d.closeQuestion = TfrmBoard::kCloseQuestion;
    d.title = QStringLiteral("公告板");
    d.listColumns = {{"BTitle", "主题"}, {"BDate", "公告日期"}, {"Man", "公告人"}, {"Memo", "事项描述"}};
    d.navigatorHeading = QStringLiteral("公告信息：");
    d.pairsPerLine = 1;
    d.form = TfrmBoard::fields();
    return d;
}
} // namespace

FormSpec TfrmBoard::fields()
{
    using namespace Field;
    return {{"BTitle", "主    题：", line()},
            {"BDate", "公告日期：", date()},
            {"Man", "公 告 人：", line()},
            {"Memo", "事项描述：", memo(), opts().maxHeight(90)}};
}

TfrmBoard::TfrmBoard(QWidget *parent) : RecordDialog(boardDialog(), parent)
{
    resize(620, 520);
}

void TfrmBoard::afterShow()
{
    // The filter the daily agenda left stays.
    if (!dataset()->isActive() && !dataset()->open())
        Prompts::instance().warn(dataset()->lastError());
}

bool TfrmBoard::store()
{
    if (!RecordDialog::store())
        return false;
    // The list keeps to its filter: after the agenda, a notice stored with
    // another day than today leaves it at once.
    Dataset *notices = dataset();
    if (!notices->filter().isNull() && !notices->refresh())
        Prompts::instance().warn(notices->lastError());
    return true;
}
