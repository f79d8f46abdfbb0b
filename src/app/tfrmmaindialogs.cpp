// The administration dialogs of the main window: backup and restore, the
// hand-over of records between users and staff tracking.
#include "admin/tfrmbackup.h"
#include "admin/tfrmrestore.h"
#include "app/tfrmmain.h"
#include "customers/tfrmassign.h"
#include "data/database.h"
#include "data/databasebackup.h"
#include "staff/tfrmoperatertrack.h"

void TfrmMain::Act_BackupExecute()
{
    // A folder that cannot be made shows up as the backup's own failure.
    DatabaseBackup::ensureBackupFolder();
    TfrmBackup dlg(this);
    dlg.exec();
}

void TfrmMain::Act_RestoreExecute()
{
    DatabaseBackup::ensureBackupFolder();
    TfrmRestore dlg(
        m_dm, [this](std::unique_ptr<Database> db) { return switchDatabase(std::move(db)); }, this);
    dlg.exec();
    // The live database could not be opened again: another one must be
    // chosen before anything can be stored.
    if (!database())
        Act_ServerExecute();
}

void TfrmMain::Act_AssignExecute()
{
    TfrmAssign dlg(this);
    dlg.exec();
}

void TfrmMain::Act_OperaterTrackExecute()
{
    TfrmOperaterTrack dlg(this);
    dlg.exec();
}
