#pragma once

#include "ui/recordview.h"

// The read-only page "客户资料" beside a contact or a contract: the
// customer a record names, as the second customer set would show it, read
// from a set of the page's own, so that looking never moves the row the
// pickers and the customer dialog work on. Another user's customer shows
// nothing, as its name in the lists does.
class CustomerView : public RecordView
{
    Q_OBJECT
public:
    // The schedule's editor window names five fields otherwise, opens the
    // home page and can open the customer list its other pages follow.
    enum class Style { Standard, PlanWindow };
    explicit CustomerView(Database *db, QWidget *parent = nullptr, Style style = Style::Standard);

    // Shows the customer with this code; an empty code shows nothing. The
    // same code twice reads once, until forget().
    void showCustomer(const QString &code);
};
