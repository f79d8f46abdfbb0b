#pragma once

#include <QString>

class Database;

// Who is working: set once by a successful login and read by the rights
// checks, the log lines, the SUser stamp and the per-user filters. There
// is no log-off, so it never changes afterwards within a run.
class Session
{
public:
    static Session &current();

    const QString &userId() const { return m_userId; }
    bool isSys() const { return m_sys; }
    bool loggedIn() const { return !m_userId.isEmpty(); }

    // userId is the code as tblUser spells it, never the letter case that
    // was typed, so one user's rows are never split by spelling.
    void logIn(const QString &userId, bool sys);
    void reset(); // tests only: a run logs in once

    // The Sys flag as the user table holds it now: an administrator may
    // have changed it since the login. False when the table cannot be read
    // or the user's row is gone: a right is never granted on a guess.
    bool isSysNow(Database &db) const;

private:
    QString m_userId;
    bool m_sys = false;
};
