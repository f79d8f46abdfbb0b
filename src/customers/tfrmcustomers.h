#pragma once

#include "ui/moduleframe.h"

class CustomerFields;

// "客户资料": the agency's customers. The frame gives the list, the detail
// page, the five sub-pages and their commands; this adds what is the
// customer's own: the per-user list, the district, "查重" and the folder.
class TfrmCustomers : public ModuleFrame
{
    Q_OBJECT
public:
    static ModuleDesc description();

    explicit TfrmCustomers(QWidget *parent = nullptr);

    // The main window's action, after its log line: the user's own
    // customers (every customer for a system user) and the tools panel on
    // the current customer.
    void open() override;

    CustomerFields *fields() const { return m_fields; }

    // "导入客户资料...": customers brought in from a spreadsheet.
    void Act_ImportExecute();

protected:
    void afterNew() override;
    void afterModify() override;
    void rowChosen() override;
    void beforeStore() override;
    void openQuery() override;

private:
    bool applyUserFilter(Dataset *set);

    CustomerFields *m_fields = nullptr;
};
