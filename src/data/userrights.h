#pragma once

#include <QHash>
#include <QString>

class Database;

// The current user's rows of tblUserRight, held in memory so that the
// main window can re-check every action whenever the program is idle
// without asking the database each time. Loaded at login and again
// whenever the rows may have changed: after the rights window (through
// user management) has saved, after a server change and after a restore.
class UserRights
{
public:
    // The operation boxes of one right: what a holder may do inside the
    // window the right opens.
    struct Ops {
        bool insert = false;
        bool modify = false;
        bool remove = false;
        bool query = false;
        bool print = false;
    };

    static UserRights &current();

    // Replaces the cache with the rows of userId. On failure the cache is
    // left empty (nothing is allowed) and the database's text is returned.
    QString load(Database &db, const QString &userId);
    void clear() { m_rights.clear(); }

    bool holds(const QString &code) const { return m_rights.contains(code); }
    Ops ops(const QString &code) const { return m_rights.value(code); }

private:
    QHash<QString, Ops> m_rights;
};
