#pragma once

#include "ui/recorddialog.h"

class EntryWarnings;
class PhotoBox;
class QLineEdit;
class QPushButton;

// "员工资料": one worker placed with the current customer, edited from the
// customer window's "受聘员工" page (the set tblYuangong1, which follows
// the customer list). The caller puts the set on the row first: a new row
// for "新增员工", the current row in editing for "修改"; a row started here
// takes the current customer's code. The customer is shown, not chosen.
class TfrmYuangongNew1 : public RecordDialog
{
    Q_OBJECT
public:
    static const QString kCloseQuestion; // "员工档案尚未保存，保存吗？"

    explicit TfrmYuangongNew1(QWidget *parent = nullptr);

    // Makes this the record dialog of tblYuangong: the customer window's
    // sub-page opens it, with the skill-level and health-check
    // dictionaries opened first.
    static void install();

    PhotoBox *photo() const { return m_photo; }
    QLineEdit *edit(const QString &field) const;

    void PhotoClick();   // the photo box: choose a picture
    void BtnZoomClick(); // "放大"
    void BtnMailClick(); // "发送邮件"
    void BtnPrintClick(); // "打印"

protected:
    bool canStartNew() override;
    bool checksPass() override;
    void beforeStore() override;

private:
    PhotoBox *m_photo;
    EntryWarnings *m_warnings;
};
