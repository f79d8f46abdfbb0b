#pragma once

#include "contacts/chosencontact.h"
#include "ui/querydialog.h"

#include <QVector>

class Dataset;

// "联系人查询", the contact selection of the mass mail and the envelope
// labels: chooses the contacts of the data module's set qryLinkmans3 by
// customer code or contact name (a bound substring match), or all of
// them. Every user may choose every contact. A search that finds nothing
// stays open; "取消" leaves the set as it was.
//
//     if (TfrmLinkmanQuery::choose(this)) {
//         for (const ChosenContact &c : TfrmLinkmanQuery::chosen())
//             ... c.email, c.name, c.postCode, c.address
//     }
//
// The report templates of the envelopes print qryLinkmans3 itself.
class TfrmLinkmanQuery : public QueryDialog
{
    Q_OBJECT
public:
    explicit TfrmLinkmanQuery(QWidget *parent = nullptr);

    // Shows the selection; true when the user confirmed and contacts were
    // found, which qryLinkmans3 then holds.
    static bool choose(QWidget *parent = nullptr);
    // The contacts qryLinkmans3 holds, in its order; empty when it is
    // closed or cannot be read (the reason is then the set's lastError()).
    static QVector<ChosenContact> chosen();
    static Dataset *contacts(); // qryLinkmans3
};
