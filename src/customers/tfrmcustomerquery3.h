#pragma once

#include "ui/querydialog.h"

// "客户查询": narrows the customer list set (tblCustomers) to the customers
// created in a period or matching one field. The filter stays on the set
// until the next query or until the module is opened again.
//
// Every criterion is a condition with bound values, so a quote in the
// search text is an ordinary character, and an ordinary user's own-
// customers term is joined onto the whole condition: no search text can
// reach past it.
class TfrmCustomerQuery3 : public QueryDialog
{
    Q_OBJECT
public:
    explicit TfrmCustomerQuery3(QWidget *parent = nullptr);

    // The criteria in the order the list offers them.
    static QStringList criteria();
    // The condition a criterion builds from the trimmed search text; a
    // null condition for "所有客户".
    static Condition criterionCondition(int criterion, const QString &text);
};
