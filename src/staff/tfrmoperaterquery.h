#pragma once

#include "ui/querydialog.h"

class Dataset;

// "工作人员查询": narrows the staff table by one criterion.
class TfrmOperaterQuery : public QueryDialog
{
    Q_OBJECT
public:
    explicit TfrmOperaterQuery(Dataset *operaters, QWidget *parent = nullptr);
};
