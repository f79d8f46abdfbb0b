#pragma once

#include "data/dataset.h"
#include "data/datasetmodel.h"
#include "data/userrights.h"
#include "ui/form.h"
#include "ui/recordnavigator.h"
#include "ui/windowcommand.h"

#include <QDialog>
#include <QString>

class DataGrid;
class FieldBinder;
class QPushButton;
class QVBoxLayout;
struct TableRules;

// What a modal record dialog is: the set it edits, its form, its right,
// its log lines and the question its close asks.
struct RecordDialogDesc {
    QString className;     // object name: TfrmCustomerNew1
    QString caption;       // "客户资料"
    QString dataset;       // the shared set the dialog edits
    QString rightCode;     // whose operation flags enable 新增 and 删除
    QString logPrefix;     // empty: the dialog writes no log lines
    QString closeQuestion; // "客户资料数据尚未保存，保存吗？"
    // Where the close question's Yes words a missing field otherwise than
    // "保存" does (field and message); the order stays the table's.
    QVector<RequiredField> closeMessages;
    // The required fields in the order the dialog checks them, where that
    // is not the screen's; fields not named follow in the screen's order.
    QStringList checkOrder;
    FormSpec form;
    int pairsPerLine = 2;
    // A heading with the navigator (first, prior, next, last) over the
    // fields; empty: neither.
    QString navigatorHeading;
    // A title and a list of the set above everything else; empty: neither.
    QString title;
    QVector<DatasetModel::Column> listColumns;
    // The dialog's own buttons in the column ("打印", "复制客户资料").
    QVector<WindowCommand> commands;
    // "新增" stays on while a new row is in hand: it stores that row (after
    // the checks of "保存") and starts the next, for lines keyed in one
    // after another.
    bool newWhileAdding = false;
};

// Which of a record dialog's buttons may run: the frame's rule for the
// detail page, and "保存" only while a row is in hand.
struct RecordButtonStates {
    bool newRecord = false, save = false, remove = false;
    bool operator==(const RecordButtonStates &) const = default;
};
RecordButtonStates recordButtonStates(Dataset::State state, const UserRights::Ops &ops, bool newWhileAdding = false);

// A modal dialog over one row of a shared set, read off its description:
// the form, a column of buttons "新增", "保存", "删除", "关闭", and the
// rules of the set's table (required fields in screen order, save checks,
// references that hold a delete, the delete question). The caller puts
// the set on the row first: a new row for "新增", the row in editing for
// "修改". Closing with a change in hand ("关闭", Esc or the close box)
// asks whether to save: No gives it up, Yes checks and stores, and the
// dialog stays open at the field to mend.
class RecordDialog : public QDialog
{
    Q_OBJECT
public:
    explicit RecordDialog(const RecordDialogDesc &desc, QWidget *parent = nullptr);
    ~RecordDialog() override;

    const RecordDialogDesc &description() const { return m_desc; }
    Dataset *dataset() const { return m_set; }
    FieldBinder *binder() const { return m_binder; }
    Form *form() const { return m_form; }
    QPushButton *button(const QString &objectName) const; // "BtnNew", "BtnSave", "BtnDelete", "BtnClose", its own
    DataGrid *grid() const { return m_grid; }             // the list under the title, when described
    RecordNavigator *navigator() const { return m_navigator; }
    const TableRules *rules() const;

    void BtnNewClick();    // "新增"
    void BtnSaveClick();   // "保存"
    void BtnDeleteClick(); // "删除"
    void BtnCloseClick();  // "关闭"
    using Move = RecordMove;
    void navigate(Move move);
    void updateButtons();
    void reject() override;

protected:
    // Special behaviour of a dialog.
    virtual bool canStartNew() { return true; } // a new row needs more than the right
    virtual void afterNew() {}                  // a new row was started
    virtual void afterShow() {}
    virtual void beforeStore() {}               // the checks passed; the row is about to be stored
    // The required fields, then the table's save checks; the first that
    // fails is warned and its field focused.
    virtual bool checksPass();
    // Stores the row in hand; a refusal is shown (with the cursor in the
    // field it names) and keeps the row.
    virtual bool store();
    virtual void discard(); // the row goes back to its stored values, a new one away
    void focusField(const QString &field);
    // A column between the fields and the buttons: a photo and its buttons.
    QVBoxLayout *side() const { return m_side; }

    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    bool log(const QString &command) const;

    RecordDialogDesc m_desc;
    Dataset *m_set;
    FieldBinder *m_binder;
    Form *m_form = nullptr;
    DataGrid *m_grid = nullptr;
    QVBoxLayout *m_side = nullptr;
    QPushButton *m_new, *m_save, *m_delete, *m_close;
    QVector<std::pair<QPushButton *, WindowCommand>> m_own;
    RecordNavigator *m_navigator = nullptr;
    bool m_closing = false;
    bool m_checkingClose = false; // the close question's Yes is checking
};
