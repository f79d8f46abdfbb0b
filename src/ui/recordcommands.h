#pragma once

#include <QString>

#include <functional>

class Dataset;
struct TableRules;

// The delete every window shares. The references of the table's rules
// that still name the record hold it, each with its message; otherwise the
// question (OK/Cancel), then the row goes. A new row that was never stored
// just goes. False when nothing was deleted.
bool deleteCurrentRecord(Dataset *set, const TableRules *rules, const QString &question = {});

// Opens the set when it is closed and starts a new row; a refusal is
// shown. False when there is no new row.
bool beginNewRecord(Dataset *set);

// The store every window shares: a refusal is shown and focus(field) gets
// the field it names; a new row dropped for want of its code is no
// refusal. True when nothing is left in hand.
bool storeCurrentRecord(Dataset *set, const std::function<void(const QString &field)> &focus = {});

// The close every window with a record in hand shares: with nothing in
// hand it may close. Otherwise the question (Yes/No, in the window's own
// words): No gives the row up (giveUp, else the set's cancel), Yes runs the
// checks, then the store (store, else storeCurrentRecord); a check or a
// store that fails keeps the window open on the row. True when the window
// may close.
bool settleRecordInHand(Dataset *set, const QString &question, const std::function<bool()> &checks = {},
                        const std::function<bool()> &store = {}, const std::function<void()> &giveUp = {});
