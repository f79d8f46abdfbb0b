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
