#pragma once

#include "data/dataset.h"
#include "data/datasetmodel.h"
#include "data/userrights.h"
#include "ui/form.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

class DataGrid;
class FieldBinder;
class QAction;
class QToolBar;

// What a sub-page under a module's detail page is: a grid (or a form) over
// a detail set that follows the module's record, with its own commands.
struct SubPageDesc {
    QString title;   // "联系人资料"
    QString dataset; // the detail set: "tblLinkmans"
    QVector<DatasetModel::Column> columns; // the grid's; a form page has none
    QStringList hiddenColumns;
    QStringList orderBy;  // the rows in the order the user reads first
    FormSpec form;        // a page of fields instead of a grid ("其他资料")
    QString newCaption;   // "新增联系人"
    // Whose record dialog "新增…" and "修改" open (RecordDialogs); until
    // one is installed both stay disabled.
    QString recordTable;
    QString report;       // "frCustomerLinkman"
    QString printLog;     // "联系人-打印", after the module's log prefix
    QString deleteQuestion; // when it is not the table's own
    bool commands = true;   // false: a plain list without a toolbar
    // Opened with the module and read again by the list's "刷新"; false: the
    // module fills the page itself when it has something to show.
    bool followsModule = true;

    // Said in a chain: SubPageDesc::grid("联系人资料", "tblLinkmans", columns)
    //     .ordered({"LinkmanID"}).withDialog("新增联系人", "tblLinkmans").printing("frCustomerLinkman", "联系人-打印")
    static SubPageDesc grid(const QString &title, const QString &dataset, const QVector<DatasetModel::Column> &columns)
    {
        SubPageDesc d;
        d.title = title;
        d.dataset = dataset;
        d.columns = columns;
        return d;
    }
    static SubPageDesc fields(const QString &title, const QString &dataset, const FormSpec &form)
    {
        SubPageDesc d;
        d.title = title;
        d.dataset = dataset;
        d.form = form;
        return d;
    }
    SubPageDesc &ordered(const QStringList &columns) { orderBy = columns; return *this; }
    SubPageDesc &hiding(const QStringList &columns) { hiddenColumns = columns; return *this; }
    SubPageDesc &withDialog(const QString &caption, const QString &table)
    {
        newCaption = caption;
        recordTable = table;
        return *this;
    }
    SubPageDesc &printing(const QString &templateName, const QString &logText)
    {
        report = templateName;
        printLog = logText;
        return *this;
    }
    SubPageDesc &readOnly() { commands = false; return *this; }
    SubPageDesc &filledByModule() { followsModule = false; return *this; }
};

// Which sub-page commands may run: the module's record must be a stored
// one (a record still being typed has no code a detail row could take),
// the right's flags, and a dialog for the grid pages.
struct SubCommandStates {
    bool newRecord = false, modify = false, save = false, remove = false, refresh = false, print = false;
    bool operator==(const SubCommandStates &) const = default;
};
SubCommandStates subCommandStates(bool recordStored, Dataset::State detail, bool formPage, bool hasDialog,
                                  const UserRights::Ops &ops);

// One sub-page, read off its description.
class SubPage : public QWidget
{
    Q_OBJECT
public:
    // master: the module's set; logPrefix and rightCode: the module's.
    SubPage(const SubPageDesc &desc, Dataset *master, const QString &gridPrefix, const QString &logPrefix,
            const QString &rightCode, QWidget *parent = nullptr);

    const SubPageDesc &description() const { return m_desc; }
    Dataset *dataset() const { return m_set; }
    DataGrid *grid() const { return m_grid; }       // nullptr on a form page
    Form *form() const { return m_form; }           // nullptr on a grid page
    FieldBinder *binder() const { return m_binder; } // nullptr on a grid page
    QAction *command(const QString &objectName) const; // "New", "Modify", "Save", "Delete", "Refresh", "Print"

    void runNew();
    void runModify();
    void runSave();
    void runDelete();
    void runRefresh();
    void runPrint();
    void updateCommands();

private:
    QAction *add(QToolBar *bar, const QString &caption, const QString &name, void (SubPage::*run)());
    bool begin(); // the row in hand: editing, or a new one when there is none

    SubPageDesc m_desc;
    Dataset *m_set;
    Dataset *m_master;
    QString m_logPrefix, m_rightCode;
    DataGrid *m_grid = nullptr;
    Form *m_form = nullptr;
    FieldBinder *m_binder = nullptr;
    QVector<QAction *> m_commands;
};
