#pragma once

#include "ui/editdialog.h"

class CustomerFields;
class Dataset;
class FieldBinder;
class QPushButton;

// "客户资料": one customer of the second customer set, the set the
// customer pickers show, edited in a modal dialog. The caller positions
// the set first: on a new row for "新增", on the chosen customer for
// "详细资料" (shown without editing it until a field is changed).
class TfrmCustomerNew1 : public EditDialog
{
    Q_OBJECT
public:
    explicit TfrmCustomerNew1(QWidget *parent = nullptr);

    Dataset *dataset() const { return m_set; }
    FieldBinder *binder() const { return m_binder; }
    CustomerFields *fields() const { return m_fields; }
    QPushButton *button(const QString &objectName) const;

    void BtnNewClick();    // "新增"
    void BtnSaveClick();   // "保存"
    void BtnDeleteClick(); // "删除"
    void updateButtons();

protected:
    void showEvent(QShowEvent *event) override;
    bool checksPass() override;
    bool store() override;

private:

    Dataset *m_set;
    FieldBinder *m_binder;
    CustomerFields *m_fields;
    QPushButton *m_new, *m_save, *m_delete, *m_close;
};
