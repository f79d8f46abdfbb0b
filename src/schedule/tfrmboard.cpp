#include "schedule/tfrmboard.h"

#include "data/dataset.h"
#include "data/sharedsets.h"
#include "ui/datagrid.h"
#include "ui/prompts.h"

#include <QBoxLayout>
#include <QLabel>

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
    d.navigatorHeading = QStringLiteral("公告信息：");
    d.pairsPerLine = 1;
    using namespace Field;
    d.form = {{"BTitle", "主    题：", line()},
              {"BDate", "公告日期：", date()},
              {"Man", "公 告 人：", line()},
              {"Memo", "事项描述：", memo(), opts().maxHeight(90)}};
    return d;
}
} // namespace

TfrmBoard::TfrmBoard(QWidget *parent) : RecordDialog(boardDialog(), parent)
{
    m_grid = new DataGrid(dataset(), {{"BTitle", "主题"}, {"BDate", "公告日期"}, {"Man", "公告人"}, {"Memo", "事项描述"}},
                          QStringLiteral("TfrmBoard.List"), this);
    m_grid->setGroupPanelVisible(false);
    m_grid->setStretchColumns(true);
    auto *title = new QLabel(QStringLiteral("公告板"), this);
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    title->setFont(f);
    title->setStyleSheet(QStringLiteral("color: #1f4e9c;"));
    if (auto *left = qobject_cast<QBoxLayout *>(layout()->itemAt(0)->layout())) {
        left->insertWidget(0, title);
        left->insertWidget(1, m_grid, 1);
    }
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
