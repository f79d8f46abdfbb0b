#pragma once

#include "data/condition.h"

class Database;

// The records the current user may see: customers, their contacts and
// contracts, whatever carries the owner's code in SUser. Whether he is a
// system user is read from the user table each time, since an
// administrator may have changed it since the login: a system user sees
// every record (a null condition), anyone else only those whose SUser is
// his own code.
Condition ownRecordsCondition(Database *db);

class Dataset;

// Replaces the filter of a set and reads it afresh, also when the
// condition is the one it already had, so that a search answers with
// today's rows. A change in hand is stored first, as any re-read does.
// False on failure, with the reason in the set's lastError().
bool refilter(Dataset *set, const Condition &c);
