#pragma once

#include <QDialog>

class Dataset;
class QComboBox;
class QLineEdit;

// "客户查询", the quick search of the customer pickers: narrows the second
// customer set (tblCustomers2) by code or name, or shows every customer.
// It adds no own-customers term, so an ordinary user can find and pick
// any customer through it; the picker's "取消" puts his term back.
class TfrmCustomerQuery4 : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmCustomerQuery4(QWidget *parent = nullptr);

    QComboBox *criterion() const { return m_criterion; }
    QLineEdit *text() const { return m_text; }
    void BtnOkClick(); // "确定"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void criterionChanged();

    Dataset *m_set;
    QComboBox *m_criterion;
    QLineEdit *m_text;
};
