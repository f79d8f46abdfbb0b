#pragma once

#include "data/dataset.h"
#include "data/datasetmodel.h"
#include "data/userrights.h"

#include <QKeySequence>
#include <QString>
#include <QStringList>
#include <QVector>
#include <QWidget>

#include <functional>

class DataGrid;
class Database;
class FieldBinder;
class QAction;
class QTabWidget;
class QToolBar;

// What a module window is: its shared dataset, its right, its log lines,
// its list columns, its required fields, its Enter order and its reports.
// Everything else a module does is its special behaviour, written as
// overrides of ModuleFrame's hooks.
struct ModuleDesc {
    struct Required {
        QString field;   // bound through the frame's binder
        QString message; // "请输入客户名称！"
    };
    // One dependency that blocks a delete: rows of table whose column
    // equals the current row's keyField.
    struct DeleteCheck {
        DeleteCheck() = default;
        DeleteCheck(const QString &table, const QString &column, const QString &message = {},
                    const QString &orColumn = {})
            : table(table), column(column), message(message), orColumn(orColumn)
        {
        }
        QString table;
        QString column;
        QString message;  // "对不起，该客户有联系人资料，不能删除！"
        QString orColumn; // a second column that counts as well (a contract's linked customer)
    };

    QString className;  // object name of the window: TfrmOperaters
    QString caption;    // "工作人员资料"
    QString listPage;   // "工作人员资料列表"
    QString detailPage; // "工作人员详细资料"
    QString dataset;    // shared set of the data module
    QString keyField;   // the record code: OperaterID
    QString rightCode;  // "303"
    QString logPrefix;  // commands write logPrefix + "-新增", "-保存", ...
    QVector<DatasetModel::Column> columns;
    QVector<Required> required;   // in screen order
    QStringList enterOrder;       // fields, in the order Enter moves
    QVector<DeleteCheck> deleteChecks; // in the order they are tried
    QString deleteQuestion;       // "您真的要删除该业务员资料吗？"
    QString listReport;           // frOperaters
    QString detailReport;         // frOperaterDetail
    bool detailQuery = false;     // the detail toolbar has "查询" too
};

// Which commands may run now: the dataset's state and the operation flags
// of the module's right. Kept apart from the window so that the rule can
// be read and tested as a table.
struct CommandStates {
    bool listNew = false, listModify = false, listDelete = false, listRefresh = false, listQuery = false,
         listPrint = false;
    bool detailNew = false, detailSave = false, detailDelete = false, detailPrint = false, detailQuery = false,
         detailCancel = false;
    bool operator==(const CommandStates &) const = default;
};
CommandStates commandStates(Dataset::State state, const UserRights::Ops &ops);

// The list page and the detail page of a module window with their
// toolbars. Each command writes its log line first, then runs its rule.
// A module subclasses it, builds its fields on detailArea() with binder(),
// and overrides the hooks for what is its own.
class ModuleFrame : public QWidget
{
    Q_OBJECT
public:
    explicit ModuleFrame(const ModuleDesc &desc, QWidget *parent = nullptr);
    ~ModuleFrame() override;

    virtual void open() {} // the main window's action, after its log line: read what the module shows
    const ModuleDesc &description() const { return m_desc; }
    Dataset *dataset() const { return m_set; }
    FieldBinder *binder() const { return m_binder; }
    DataGrid *grid() const { return m_grid; }
    QTabWidget *pages() const { return m_pages; }
    QWidget *listPage() const;
    QWidget *detailPage() const;
    QWidget *detailArea() const { return m_detailArea; } // the subclass lays out its fields here
    QTabWidget *subPages() const { return m_subPages; }
    bool showingDetail() const;
    void showList();
    void showDetail();

    // A sub-page under the fields: a read-only grid over a detail dataset.
    DataGrid *addGridPage(const QString &title, Dataset *detail, const QVector<DatasetModel::Column> &columns,
                          const QString &gridName);
    void addSubPage(const QString &title, QWidget *page);

    // Declares the Enter order from the description's fields, then extra
    // widgets (a memo button, ...) at the end. Call after binding.
    void applyEnterOrder(const QList<QWidget *> &extra = {});

    // Re-checks every command against the state and the rights in memory.
    void updateCommands();
    QAction *command(const QString &objectName) const; // "ListNew", "DetailSave", ...

    // The commands, as the buttons run them.
    void listNew();
    void listModify();
    void deleteRecord();
    void listRefresh();
    void queryRecords();
    void listPrint();
    void detailNew();
    void detailSave();
    void detailPrint();
    void detailCancel();

    // "保存"'s checks without the store: the required fields in screen
    // order, the first empty one warned and focused, then the module's own
    // rules (checkSave) and the code-change rule. False when one stopped it.
    bool runSaveChecks();
    void focusField(const QString &field);
    // The tables that refer to a record code; when the stored code of a row
    // that is still named there changes, "保存" refuses it.
    void setCodeReferences(const QVector<ModuleDesc::DeleteCheck> &refs) { m_codeRefs = refs; }
    static const QString &kCodeInUse;

    // The one print call lives in the printing library, which builds on
    // this one; the program installs it at start, tests install a fake.
    using Printer = std::function<bool(Dataset *data, const QString &templateName, QWidget *parent)>;
    static void setPrinter(Printer p);
    static bool print(Dataset *data, const QString &templateName, QWidget *parent);

    // The rules "保存" and "删除" share with the module's modal dialogs,
    // which edit the same records on another dataset.
    //
    // The required fields in order: a field is empty when the text its
    // editor shows is empty, so a code without its dictionary row counts
    // as empty. The first empty one is warned and focused.
    static bool checkRequired(Dataset *set, FieldBinder *binder, const QVector<ModuleDesc::Required> &required,
                              const std::function<void(QWidget *)> &focus);
    // The dependency checks in order; the first that finds a row shows its
    // message. False when one did (or the database failed, with its text).
    static bool deleteAllowed(Dataset *set, const QString &keyField, const QVector<ModuleDesc::DeleteCheck> &checks);
    // True when one of the tables still names code; a database failure
    // counts as named, with its text in error.
    static bool codeReferenced(Database *db, const QVector<ModuleDesc::DeleteCheck> &refs, const QVariant &code,
                               QString *error);

signals:
    // The tools panel should show this folder.
    void folderChosen(const QString &path);
    // "新增" and "修改" hide the main window's navigation panel and select a page.
    void detailOpened();

protected:
    // Special behaviour; every hook runs after the log line.
    virtual void afterNew() {}          // a new row was started
    virtual void afterModify() {}       // the row is being edited
    virtual void rowChosen() {}         // a click on a list row
    virtual bool checkSave() { return true; } // after the required fields
    virtual void beforeStore() {}       // checks passed, the row is about to be stored
    virtual void afterRefresh() {}
    virtual void afterCancel() {}
    virtual void openQuery() {}         // the module's query window
    void showEvent(class QShowEvent *event) override;

    // True when another table still names the row's stored code.
    bool codeReferenced(const QVariant &code, QString *error) const { return codeReferenced(m_set->database(), m_codeRefs, code, error); }
    bool storeRow(); // posts when editing; shows the database's text on failure

private:
    QToolBar *buildListBar();
    QToolBar *buildDetailBar();
    QAction *addCommand(QToolBar *bar, const QString &name, const QString &caption, const QKeySequence &key,
                        void (ModuleFrame::*run)());
    bool log(const QString &command) const;
    bool codeChangeAllowed();

    ModuleDesc m_desc;
    Dataset *m_set;
    FieldBinder *m_binder;
    DataGrid *m_grid = nullptr;
    QTabWidget *m_pages = nullptr;
    QWidget *m_detailArea = nullptr;
    QTabWidget *m_subPages = nullptr;
    QVector<QAction *> m_commands;
    QVector<ModuleDesc::DeleteCheck> m_codeRefs;
};
