#pragma once

#include "ui/querydialog.h"

// "客户查询", the quick search of the customer pickers: narrows the second
// customer set (tblCustomers2) by code or name, or shows every customer.
// It adds no own-customers term, so an ordinary user can find and pick
// any customer through it; the picker's "取消" puts his term back.
class TfrmCustomerQuery4 : public QueryDialog
{
    Q_OBJECT
public:
    explicit TfrmCustomerQuery4(QWidget *parent = nullptr);
};
