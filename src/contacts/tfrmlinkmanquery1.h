#pragma once

#include "data/condition.h"
#include "ui/querydialog.h"

class Dataset;

// "联系人查询", the contact module's search: narrows the contact list by
// one criterion. The text is a bound value of a substring match (the
// user's own % and _ keep their meaning, a quote is an ordinary
// character), and the user's own term (his contacts only, unless he is a
// system user) is ANDed onto the whole condition. A search that finds
// nothing stays open with the list empty.
class TfrmLinkmanQuery1 : public QueryDialog
{
    Q_OBJECT
public:
    static const QString kNothingFound; // "对不起，没有找到符合条件的记录！"
    static const QString kNoText;       // "请输入附加查询条件!"

    // own: the contacts the user may see at all (null: every contact).
    TfrmLinkmanQuery1(Dataset *contacts, const Condition &own, QWidget *parent = nullptr);
};
