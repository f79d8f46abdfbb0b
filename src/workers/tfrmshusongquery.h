#pragma once

#include "ui/querydialog.h"

class Dataset;

// "输送单位查询": narrows the unit list by one criterion; the settlements
// follow the unit that is current in what is left. The text is a bound
// value of a substring match, never part of the statement.
class TfrmShusongQuery : public QueryDialog
{
    Q_OBJECT
public:
    explicit TfrmShusongQuery(Dataset *units, QWidget *parent = nullptr);
};
