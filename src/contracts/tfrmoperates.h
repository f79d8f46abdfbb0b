#pragma once

#include "ui/moduleframe.h"

class ContractEditor;
class CustomerView;
class Dataset;
class QComboBox;

// "业务（合同）资料": the contracts the user may see. The frame gives the
// list, the detail page with its commands and the money-line page; this
// adds the per-user list (an ordinary user sees the contracts he created, a
// system user all), the contract form's live conversion to renminbi, the
// contacts of the chosen customer, the customer pickers, the read-only
// view of the contract's customer, the folder of that customer and the
// contract search.
class TfrmOperates : public ModuleFrame
{
    Q_OBJECT
public:
    static ModuleDesc description();
    static const QString kDeleteQuestion; // "您真的要删除该业务项目吗？"

    explicit TfrmOperates(QWidget *parent = nullptr);

    void open() override;

    ContractEditor *editor() const { return m_editor; }
    CustomerView *customerView() const { return m_view; }
    QComboBox *contactBox() const { return m_contactBox; }
    Dataset *contacts() const { return m_contacts; }

    void BtnCustQueryClick();     // "查询..." beside "相关客户："
    void BtnLinkCustQueryClick(); // "查询..." beside "联系客户："

protected:
    void afterNew() override;
    void afterModify() override;
    void rowChosen() override;
    void beforeStore() override;
    void afterRefresh() override;
    void openQuery() override;

private:
    void followCustomer(); // the contact list and the customer view follow the contract's customer
    void keepCustomerOffered(); // the contract's own customer in "相关客户：", whoever owns it
    void prepareEditing(bool readLinesAgain); // what "新增" and "修改" need open and read afresh

    ContractEditor *m_editor = nullptr;
    CustomerView *m_view = nullptr;
    QComboBox *m_contactBox = nullptr;
    Dataset *m_contacts = nullptr;
    QString m_contactsOf;
    bool m_contactsRead = false;
};
