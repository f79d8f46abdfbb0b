#pragma once

#include "ui/form.h"

#include <QObject>

class Dataset;

// The contract form's fields, the same in the contract window's detail page
// and in the customer window's dialog; they differ only in how the customer
// and the contact are chosen.
namespace ContractForm {
enum class Host { DetailPage, Dialog };
FormSpec rows(Host host);
} // namespace ContractForm

// What the contract form does while the user types, in either host: the
// linked customer and its "查询..." follow the check box; leaving the
// amount or choosing a currency converts to renminbi at once (putting a
// browsed contract into editing); leaving the profit computes the rate.
class ContractEditor : public QObject
{
    Q_OBJECT
public:
    ContractEditor(Form *form, Dataset *set, QObject *parent);

    void followLink();      // "联系客户：" and its button enabled exactly while the box is ticked
    void amountLeft();      // the focus left "合同金额："
    void currencyChosen();  // a currency was chosen in "币别名称："
    void profitLeft();      // the focus left "预计利润："

    // "折人民币：" and "利润率：" as the form shows them: "¥876.495" (as the
    // grids show money), "0.2934".
    static QString rmbText(const QVariant &v);
    static QString rateText(const QVariant &v);
    // Any form showing a contract's "RMB" and "Rate" (this one, the agenda's):
    // read-only, and kept in the texts above while `owner` lives.
    static void showComputed(Form *form, Dataset *set, QObject *owner);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void convert(); // RMB at the rate of the currency shown
    Form *m_form;
    Dataset *m_set;
};
