#pragma once

#include "ui/querydialog.h"

class Dataset;

// "员工查询": narrows the worker list by one criterion. The text is a
// bound value of a substring match, never part of the statement.
class TfrmYuangongQuery : public QueryDialog
{
    Q_OBJECT
public:
    explicit TfrmYuangongQuery(Dataset *workers, QWidget *parent = nullptr);
};
