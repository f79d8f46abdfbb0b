#pragma once

#include "ui/moduleframe.h"

#include <functional>

class CustomerFields;
class DataGrid;
class QToolBar;

// "客户资料": the agency's customers. The frame gives the list, the detail
// page and their commands; this adds the customer's own rules (the
// per-user list, the district, "查重", the code checks, the folder) and
// the five sub-pages: contacts, contracts, placed workers, contact
// history and the additional information.
class TfrmCustomers : public ModuleFrame
{
    Q_OBJECT
public:
    static ModuleDesc description();

    explicit TfrmCustomers(QWidget *parent = nullptr);

    // The main window's action, after its log line: the user's own
    // customers (every customer for a system user), the dictionaries and
    // sets the pages read, and the tools panel on the current customer.
    void open() override;

    CustomerFields *fields() const { return m_fields; }

    // The record dialogs of the contact, contract, worker and history
    // sub-pages belong to their own windows; each is installed here by
    // the program and gets the detail set already on its new or edited
    // row. A page's "新增…" and "修改" stay disabled until its dialog is
    // installed.
    enum class SubDialog { Contact, Contract, Worker, History };
    using Opener = std::function<void(QWidget *parent)>;
    static void setSubDialog(SubDialog which, Opener open);

    enum class SubPage { Contacts, Contracts, Workers, History, AddInfo };
    DataGrid *subGrid(SubPage page) const;
    QAction *subCommand(SubPage page, const QString &objectName) const; // "New", "Modify", "Delete", "Refresh", "Print", "Save"
    FieldBinder *addInfoBinder() const { return m_addInfoBinder; }

    // The sub-pages' commands, as their buttons run them.
    void subNew(SubPage page);
    void subModify(SubPage page);
    void subDelete(SubPage page);
    void subRefresh(SubPage page);
    void subPrint(SubPage page);
    void addInfoSave();
    void updateSubCommands();

protected:
    void afterNew() override;
    void afterModify() override;
    void rowChosen() override;
    bool checkSave() override;
    void beforeStore() override;
    void afterRefresh() override;
    void openQuery() override;

private:
    struct Page {
        SubPage kind = SubPage::Contacts;
        Dataset *set = nullptr;
        DataGrid *grid = nullptr;
        QToolBar *bar = nullptr;
        QString report;
        QString logText;
    };
    Page &page(SubPage kind);
    const Page *findPage(SubPage kind) const;
    void buildGridPage(SubPage kind, const QString &title, const char *set,
                       const QVector<DatasetModel::Column> &columns, const QString &newCaption, const QString &report,
                       const QString &logText);
    void buildAddInfoPage();
    void showFolder(); // the folder root, then the current customer's folder
    bool applyUserFilter(Dataset *set);

    CustomerFields *m_fields = nullptr;
    FieldBinder *m_addInfoBinder = nullptr;
    QVector<Page> m_pagesList;
};
