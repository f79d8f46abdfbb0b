#pragma once

#include "ui/moduleframe.h"

class CustomerView;
class EntryWarnings;
class PhotoBox;
class QLineEdit;
class QPushButton;
class ShusongView;

// "员工档案": the domestic workers. The frame gives the pages, the
// commands and their rules; this adds the photo, the employment state,
// the placed customer (chosen through the picker, asked about when the
// worker moves to another customer), read-only views of that customer and
// of the worker's unit, the number warnings, the search and the folders.
// Every user who may open it sees every worker.
class TfrmYuangong : public ModuleFrame
{
    Q_OBJECT
public:
    static ModuleDesc description();

    explicit TfrmYuangong(QWidget *parent = nullptr);

    // The main window's action, after its log line: the dictionaries and
    // the customers the user may see, the worker list read again (a search
    // stays in force), the tools panel on the workers' folder.
    void open() override;

    PhotoBox *photo() const { return m_photo; }
    QPushButton *zoomButton() const { return m_zoom; }
    QLineEdit *edit(const QString &field) const;
    Form *stateForm() const { return m_state; }
    Form *customerView() const;
    Form *unitView() const;

    void PhotoClick();        // the photo box: choose a picture
    void BtnZoomClick();      // "放大"
    void BtnMailClick();      // "发送邮件"
    void BtnCustQueryClick(); // "查询..." beside the customer
    void BtnStateEditClick(); // the status page's "修改"
    void BtnStateSaveClick(); // the status page's "保存"
    void Act_ImportExecute(); // "导入员工资料...": workers brought in from a spreadsheet

protected:
    void afterNew() override;
    void afterModify() override;
    void rowChosen() override;
    bool checkSave() override;
    void beforeStore() override;
    void afterRefresh() override;
    void openQuery() override;

private:
    void buildSide();
    void followViews();
    QString typedCode() const;
    bool confirmPlacement(); // asks when the worker moves to another customer

    PhotoBox *m_photo = nullptr;
    QPushButton *m_zoom = nullptr;
    Form *m_state = nullptr;
    CustomerView *m_customer = nullptr;
    ShusongView *m_unit = nullptr;
    EntryWarnings *m_warnings = nullptr;
    QString m_confirmedCustomer; // the move the user agreed to for the row in hand
};
