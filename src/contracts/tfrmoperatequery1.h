#pragma once

#include "ui/querydialog.h"

class Dataset;

// "业务查询": narrows the contract list by creation date (both days, in
// whichever order they are typed) or by one other criterion. An ordinary
// user's search stays within his own contracts.
class TfrmOperateQuery1 : public QueryDialog
{
    Q_OBJECT
public:
    TfrmOperateQuery1(Dataset *contracts, QWidget *parent = nullptr);
};
