#pragma once

#include "data/condition.h"
#include "ui/moduleframe.h"

class CustomerView;
class Dataset;
class QAction;
class QLineEdit;

// "联系人资料": the contacts of every customer the user may see. The frame
// gives the list, the detail page and the commands; this adds the
// per-user list (an ordinary user sees the contacts he created, a system
// user all), the read-only view of the contact's customer, the customer
// picker, the folder of the contact's customer, the search and
// "Email地址导出".
class TfrmLinkman : public ModuleFrame
{
    Q_OBJECT
public:
    static ModuleDesc description();
    static const QString kExportTitle;  // "Email地址导出"
    static const QString kExportDone;   // "Email地址列表导出成功！"
    static const QString kDeleteQuestion;

    explicit TfrmLinkman(QWidget *parent = nullptr);

    // The main window's action, after its log line: the second customer
    // set narrowed to the user's own customers, the contact list to his own
    // contacts (a system user's search stays in force), the tools panel on
    // the current contact's customer.
    void open() override;

    // The contacts the user may see at all: the term every list and search
    // of this window carries (null for a system user).
    Condition ownContacts() const;

    Form *customerView() const;
    Dataset *customerViewSet() const;
    QAction *exportCommand() const { return command(QStringLiteral("ListEmailExport")); }

    void BtnCustQueryClick(); // "查询..." beside the customer
    void BtnMailClick();      // "发送邮件" beside the contact's address
    void BtnOpenClick();      // "打开..." beside the home page
    void BtnCustMailClick();  // "发送邮件" on the customer view
    void Act_EmailExportExecute(); // "Email地址导出"

protected:
    void afterNew() override;
    void afterModify() override;
    void rowChosen() override;
    void beforeStore() override;
    void afterRefresh() override;
    void openQuery() override;

private:
    void followCustomer(); // the view shows the customer the contact names
    bool ensureCustomersOpen();
    QLineEdit *edit(const QString &field) const;

    CustomerView *m_view = nullptr;
    bool m_searched = false; // the list shows a search's result
};
