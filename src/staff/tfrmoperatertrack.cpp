#include "staff/tfrmoperatertrack.h"

#include "data/dataset.h"
#include "data/dmmain.h"
#include "data/sharedsets.h"
#include "staff/tfrmoptrackquery.h"
#include "ui/datagrid.h"
#include "ui/fieldbinder.h"
#include "ui/form.h"
#include "ui/prompts.h"
#include "ui/recordcommands.h"
#include "ui/recordnavigator.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <QWidget>

const QString TfrmOperaterTrack::kCloseQuestion = QStringLiteral("客户接触信息尚未保存，保存吗？");

namespace {

const QString kMemo = QStringLiteral("Memo");

FormSpec trackForm()
{
    using namespace Field;
    return {
        {"LinkDate", "联系日期：", line()},
        {"LinkTime", "联系时间：", line()},
        {"LinkType", "联系方式：", line()},
        {"Linkman", "联 系 人：", line()},
        {"Duty", "职　　务：", line()},
        {"LinkContent", "联系内容：", line()},
        {"Address", "地　　点：", line()},
        {"Charge", "费用开销：", line()},
        {"Memo", "备    注：", memo(), opts().wide(2).onNewLine().maxHeight(60)},
        {"CustID", "客户代码：", line(), opts().onNewLine()},
        {"CustName", "客户名称：", line()},
        {"Operater", "业 务 员：", line()},
    };
}

} // namespace

TfrmOperaterTrack::TfrmOperaterTrack(QWidget *parent)
    : QDialog(parent), m_set(TdmMain::instance()->dataset(Sets::kStaffTracking))
{
    setObjectName(QStringLiteral("TfrmOperaterTrack"));
    setWindowTitle(QStringLiteral("业务员跟踪管理"));
    resize(860, 600);

    auto *bar = new QToolBar(this);
    bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    const std::tuple<const char *, const char *, const char *, void (TfrmOperaterTrack::*)()> commands[] = {
        {"BtnModify", "修改", "Ctrl+A", &TfrmOperaterTrack::BtnModifyClick},
        {"BtnSave", "保存", "Ctrl+S", &TfrmOperaterTrack::BtnSaveClick},
        {"BtnQuery", "查询", "", &TfrmOperaterTrack::BtnQueryClick}};
    for (const auto &[name, caption, key, run] : commands) {
        QAction *a = bar->addAction(QString::fromUtf8(caption), this, run);
        a->setObjectName(QString::fromLatin1(name));
        a->setShortcut(QKeySequence(QString::fromLatin1(key)));
        a->setShortcutContext(Qt::WindowShortcut);
        m_commands << a;
    }
    QAction *close = bar->addAction(QStringLiteral("关闭"), this, &QDialog::reject);
    close->setObjectName(QStringLiteral("BtnClose"));
    auto *spacer = new QWidget(bar);
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    bar->addWidget(spacer);
    m_navigator = new RecordNavigator(m_set, trackForm(), this);
    m_navigator->addTo(bar);
    m_commands << m_navigator->actions();

    auto *fields = new QWidget(this);
    m_binder = new FieldBinder(m_set, this);
    m_form = new Form(trackForm(), m_binder, fields, 3);
    for (const FormRow &row : m_form->rows())
        if (auto *edit = qobject_cast<QLineEdit *>(m_form->widget(row.field)))
            edit->setReadOnly(true);

    auto *pages = new QTabWidget(this);
    m_grid = new DataGrid(m_set,
                          {{"CustID", "客户代码"}, {"CustName", "客户名称"}, {"LinkDate", "联系日期"},
                           {"LinkTime", "联系时间"}, {"Linkman", "联系人"}, {"Duty", "职务"},
                           {"LinkType", "联系方式"}, {"LinkContent", "联系内容"}, {"Charge", "费用开销"},
                           {"Address", "地点"}, {"Operater", "业务员"}, {"Memo", "备注"}},
                          QStringLiteral("TfrmOperaterTrack.List"), pages);
    pages->addTab(m_grid, QStringLiteral("业务员[客户接触]情况列表"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(bar);
    layout->addWidget(fields);
    layout->addWidget(pages, 1);

    connect(m_set, &Dataset::stateChanged, this, &TfrmOperaterTrack::updateCommands);
    connect(m_set, &Dataset::rowsReset, this, &TfrmOperaterTrack::updateCommands);
    connect(m_set, &Dataset::rowRemoved, this, &TfrmOperaterTrack::updateCommands);
    connect(m_set, &Dataset::rowsAppended, this, &TfrmOperaterTrack::updateCommands);
    updateCommands();
}

QPlainTextEdit *TfrmOperaterTrack::remark() const
{
    return qobject_cast<QPlainTextEdit *>(m_form->widget(kMemo));
}

QAction *TfrmOperaterTrack::command(const QString &objectName) const
{
    for (QAction *a : m_commands)
        if (a->objectName() == objectName)
            return a;
    return nullptr;
}

void TfrmOperaterTrack::updateCommands()
{
    const bool rows = m_set->isActive() && !m_set->isEmpty();
    const bool editing = m_set->state() == Dataset::State::Edit;
    command(QStringLiteral("BtnModify"))->setEnabled(rows && !m_set->isEditing());
    command(QStringLiteral("BtnSave"))->setEnabled(editing);
    m_navigator->update();
    // Typing into the remark of a browsed row would start editing it, and
    // on an empty list a new contact: the remark takes typing only after "修改".
    if (QPlainTextEdit *memo = remark())
        memo->setReadOnly(!editing);
}

void TfrmOperaterTrack::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    updateCommands();
    if (QPlainTextEdit *memo = remark())
        memo->setFocus(Qt::OtherFocusReason);
}

void TfrmOperaterTrack::BtnModifyClick()
{
    // Only a contact that is there: an empty or closed list has nothing to annotate.
    if (!m_set->isActive() || m_set->isEmpty() || m_set->isEditing())
        return;
    if (!m_set->edit()) {
        Prompts::instance().warn(m_set->lastError());
        return;
    }
    if (QPlainTextEdit *memo = remark())
        memo->setFocus(Qt::OtherFocusReason);
}

void TfrmOperaterTrack::BtnSaveClick()
{
    if (m_set->state() != Dataset::State::Edit)
        return;
    storeCurrentRecord(m_set);
}

void TfrmOperaterTrack::BtnQueryClick()
{
    TfrmOpTrackQuery dlg(m_set, this);
    dlg.exec();
    updateCommands();
}

void TfrmOperaterTrack::done(int result)
{
    // A remark in hand is offered for saving, as every edit window does.
    if (!settleRecordInHand(m_set, kCloseQuestion))
        return;
    QDialog::done(result);
}
