#pragma once

#include <QString>

class Database;

// A user's operation flags under one right code (tblUserRight). A user
// without a row for the code holds none of them.
struct RightFlags {
    bool held = false;
    bool insert = false, modify = false, remove = false, query = false, print = false;
};

// Read afresh each time, so a change made in the rights window counts at
// the next opening of a window.
RightFlags readRightFlags(Database &db, const QString &userId, const QString &rightId);
