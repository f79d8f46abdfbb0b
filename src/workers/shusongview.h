#pragma once

#include "ui/recordview.h"

// The read-only page "输送单位信息" beside a worker: the unit the worker
// names, read from a set of the page's own so that looking never moves the
// unit list or the drop-down of units.
class ShusongView : public RecordView
{
    Q_OBJECT
public:
    explicit ShusongView(Database *db, QWidget *parent = nullptr);

    // Shows the unit with this code; an empty code shows nothing. The same
    // code twice reads once, until forget().
    void showUnit(const QString &code);
};
