#pragma once

#include <QDate>
#include <QString>

#include <functional>

// Backups of the system's database and restores from them. A backup is
// always one SQLite file of the program's schema, whichever engine holds
// the live data, so a copy taken from PostgreSQL can be put back into
// SQLite and the other way round.
//
// A backup is one consistent moment of the database even while other
// workstations write: SQLite's online backup API, or one REPEATABLE READ
// transaction on PostgreSQL. It is checked (integrity_check) in a
// temporary file beside the target and only then renamed over the target,
// so an older backup there is never lost to a failed copy.
//
// A restore takes only the program's own tables and rows from the chosen
// file: they are copied into a fresh database made from the schema, and
// nothing else the file holds comes along. It first takes a fresh safety
// copy of the live database into the
// day's folder, then puts the chosen copy back as one transaction: SQLite
// through the backup API into the live file, PostgreSQL by replacing every
// table's rows. A restore that is interrupted, even by kill -9, leaves the
// live database as it was.
//
//   DatabaseBackup b(db.location());
//   if (const QString refused = b.backupTo(DatabaseBackup::defaultFile()); !refused.isEmpty())
//       Prompts::instance().warn(refused);
class DatabaseBackup
{
public:
    static const QString kBackupDone;     // 数据备份成功！
    static const QString kRestoreDone;    // 数据恢复成功！
    static const QString kBackupFailed;   // the start of a failed backup's message, the reason follows
    static const QString kRestoreFailed;  // the same for a restore
    static const QString kTargetIsLive;   // the live database chosen as backup target
    static const QString kSourceIsLive;   // the live database chosen as restore source
    static const QString kNotABackup;     // a file that is no database of this system
    static const QString kSourceMissing;  // no file at the restore source's path
    // Said after kBackupDone when the backup is in place but the day's
    // copy could not be made; the reason follows.
    static const QString kDayCopyFailed;
    // A backup of a later schema than this program knows.
    static QString newerBackupText(int version);

    // Pages (SQLite) or tables (PostgreSQL) put back so far, of all.
    using Progress = std::function<void(int done, int total)>;

    // liveLocation: the live database, a SQLite file or a postgresql:// URI.
    explicit DatabaseBackup(const QString &liveLocation);

    static QString backupFolder();                 // <application>/Backup
    static QString defaultFile();                  // <application>/Backup/HKP30.hdb
    static QString datedFolder(const QDate &day);  // <application>/Backup/yyyy-M-d
    // Makes the backup folder when it is missing (private to the user);
    // false when it cannot.
    static bool ensureBackupFolder();
    // Removes the work folders of restores that ended without cleaning up
    // (killed, a power cut); a restore still running keeps its own.
    static void removeStaleWork();

    // Copies the live database to target and, when the day's folder holds
    // no copy yet, to the day's copy too. Empty on success, else the
    // message for the user: a refusal, or kBackupFailed + the reason. A
    // day's copy that could not be made leaves the backup done and says
    // why in dayCopyWarning().
    QString backupTo(const QString &target);
    // kDayCopyFailed + the reason after a backup whose day's copy failed;
    // empty otherwise.
    const QString &dayCopyWarning() const { return m_dayWarning; }

    // What a restore from source would refuse before anything changes:
    // kSourceMissing, kSourceIsLive, kNotABackup (also for a file whose
    // tables of the program lack a column or keep it as another kind) or
    // newerBackupText. Empty when it may go on.
    QString checkSource(const QString &source) const;

    // Puts source back as the live database after a safety copy of the
    // live one. No connection of this process may be open on a live SQLite
    // file (it would hold the lock the restore needs). Empty on success,
    // else a refusal or kRestoreFailed + the reason; the live database is
    // then unchanged.
    QString restoreFrom(const QString &source, const Progress &progress = {});

    // The file the last restore saved the live database to; empty before.
    const QString &safetyCopy() const { return m_safetyCopy; }

private:
    QString m_live;
    bool m_postgres = false;
    QString m_safetyCopy;
    QString m_dayWarning;
};
