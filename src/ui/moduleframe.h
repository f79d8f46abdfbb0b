#pragma once

#include "data/dataset.h"
#include "data/datasetmodel.h"
#include "data/userrights.h"
#include "ui/form.h"
#include "ui/modulepanel.h"
#include "ui/recordnavigator.h"
#include "ui/subpage.h"
#include "ui/windowcommand.h"

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
class QVBoxLayout;
struct TableRules;

// What a module window is: its shared dataset, its right, its log lines,
// its list columns, its form, its sub-pages and its reports. The table's
// rules (required fields, save checks, what holds a delete, the delete
// question) come from the data module. Everything else a module does is
// its special behaviour, written as overrides of ModuleFrame's hooks.
struct ModuleDesc {
    QString className;  // object name of the window: TfrmOperaters
    QString caption;    // "工作人员资料"
    QString listPage;   // "工作人员资料列表"
    QString detailPage; // "工作人员详细资料"
    QString dataset;    // shared set of the data module
    QString keyField;   // the record code: OperaterID
    QString rightCode;  // "303"
    QString logPrefix;  // commands write logPrefix + "-新增", "-保存", ...
    QString saveLogPrefix; // "保存" writes this one instead when set (old log texts differ)
    QStringList orderBy; // the list's order
    QVector<DatasetModel::Column> columns;
    FormSpec form;      // the detail page's fields, in screen and Enter order
    int pairsPerLine = 2;
    QVector<SubPageDesc> subPages;
    QString listReport;           // frOperaters
    QString detailReport;         // frOperaterDetail
    bool detailQuery = false;     // the detail toolbar has "查询" too
    bool detailQueryAlways = false; // ... enabled whatever the Query flag says
    bool queryBeforePrint = false;  // ... and stands before "打印"
    QString deleteQuestion;       // when the module asks otherwise than the table's rules
    QString detailReportSet;      // the set the detail page prints; empty: the module's own
    QStringList hiddenColumns;    // list columns the module hides at first
    QVector<WindowCommand> commands; // the module's own commands on its bars
    QStringList hiddenCommands;   // built commands the module does without ("DetailCancel")
    bool navigator = false;       // first, prior, next, last at the end of the detail bar
    // The document folder the tools panel follows: the record's own where
    // the current row has its code, else the family's.
    struct FolderRule {
        std::function<QString()> family;                // DocumentFolders::operaters
        QString codeField;                              // OperaterID
        std::function<QString(const QString &)> record; // DocumentFolders::operater
        bool typedCode = false; // the code as typed, not as stored (a contract's customer being changed)
    };
    FolderRule folder;
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
class ModuleFrame : public ModulePanel
{
    Q_OBJECT
public:
    explicit ModuleFrame(const ModuleDesc &desc, QWidget *parent = nullptr);
    ~ModuleFrame() override;

    const ModuleDesc &description() const { return m_desc; }
    Dataset *dataset() const { return m_set; }
    FieldBinder *binder() const { return m_binder; }
    Form *form() const { return m_form; }
    const TableRules *rules() const; // of the dataset's table
    DataGrid *grid() const { return m_grid; }
    QTabWidget *pages() const { return m_pages; }
    QWidget *listPage() const;
    QWidget *detailPage() const;
    QWidget *detailArea() const { return m_detailArea; } // holds the form and the side column
    QVBoxLayout *detailSide() const { return m_side; }   // widgets beside the form: a photo, buttons
    QTabWidget *subPages() const { return m_subPages; }
    SubPage *subPage(const QString &dataset) const;       // by its detail set's name
    bool showingDetail() const;
    void showList();
    void showDetail();

    // The main window's action, after its log line: the module's list,
    // with whatever the module adds.
    void open() override;

    // A page of the module's own making under the fields.
    void addSubPage(const QString &title, QWidget *page);

    // Re-checks every command against the state and the rights in memory.
    void updateCommands();
    QAction *command(const QString &objectName) const; // "ListNew", "DetailSave", a module's own, "NavFirst"...
    RecordNavigator *navigator() const { return m_navigator; } // null unless the description asks for one

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
    // order, the first empty one warned and focused, then the table's save
    // checks and the module's own (checkSave). False when one stopped it.
    bool runSaveChecks();
    void focusField(const QString &field);
    static const QString &kCodeInUse;

    // The one print call lives in the printing library, which builds on
    // this one; the program installs it at start, tests install a fake.
    using Printer = std::function<bool(Dataset *data, const QString &templateName, QWidget *parent)>;
    static void setPrinter(Printer p);
    static bool print(Dataset *data, const QString &templateName, QWidget *parent);

protected:
    // Special behaviour; every hook runs after the log line.
    virtual void afterNew() {}          // a new row was started
    virtual void afterModify() {}       // the row is being edited
    virtual void rowChosen() {}         // a click on a list row
    virtual bool checkSave() { return true; } // after the required fields and the table's checks
    virtual void beforeStore() {}       // checks passed, the row is about to be stored
    virtual void afterStore() {}        // "保存" stored the row
    virtual void afterRefresh() {}
    virtual void afterCancel() {}
    virtual void openQuery() {}         // the module's query window
    void showEvent(class QShowEvent *event) override;

    bool storeRow(); // stores the row in hand; a refusal is shown at its field
    void showFolder(); // the tools panel to the folder of the description's rule
    // Opens the module's set and the sets of its sub-pages; false when the
    // module's own set could not be opened (the reason is shown).
    bool openSets();

private:
    QToolBar *buildListBar();
    QToolBar *buildDetailBar();
    QAction *addCommand(QToolBar *bar, const QString &name, const QString &caption, const QKeySequence &key,
                        void (ModuleFrame::*run)());
    void addOwnCommands(QToolBar *bar, WindowCommand::Place place);
    bool log(const QString &command) const;

    ModuleDesc m_desc;
    Dataset *m_set;
    FieldBinder *m_binder;
    DataGrid *m_grid = nullptr;
    QTabWidget *m_pages = nullptr;
    QWidget *m_detailArea = nullptr;
    QVBoxLayout *m_side = nullptr;
    Form *m_form = nullptr;
    QTabWidget *m_subPages = nullptr;
    QVector<SubPage *> m_subPageList;
    QVector<QAction *> m_commands;
    QVector<std::pair<QAction *, WindowCommand>> m_own; // the description's commands
    RecordNavigator *m_navigator = nullptr;
};
