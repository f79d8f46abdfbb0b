#include "admin/tfrmrestore.h"

#include "admin/backupfiledialog.h"
#include "data/database.h"
#include "data/databasebackup.h"
#include "data/dbsetup.h"
#include "data/dmmain.h"
#include "data/startupconnection.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

TfrmRestore::TfrmRestore(TdmMain *dm, Reconnect reconnect, QWidget *parent)
    : QDialog(parent), m_dm(dm), m_reconnect(std::move(reconnect))
{
    setObjectName(QStringLiteral("TfrmRestore"));
    setWindowTitle(QStringLiteral("数据恢复"));
    const BackupFileDialog face = layOutBackupFileDialog(
        this, QStringLiteral("请选择恢复数据库文件所在的系统目录："), QStringLiteral("恢复"), QStringLiteral("BtnRestore"));
    m_path = face.path;
    connect(face.browse, &QPushButton::clicked, this, &TfrmRestore::BtnBrowseClick);
    connect(face.action, &QPushButton::clicked, this, &TfrmRestore::BtnRestoreClick);
}

void TfrmRestore::BtnBrowseClick()
{
    const QString chosen = Prompts::instance().openFileName(
        QStringLiteral("数据恢复"), QStringLiteral("数据文件(*.hdb)"), DatabaseBackup::defaultFile());
    if (!chosen.isEmpty())
        m_path->setText(QFileInfo(chosen).absoluteFilePath());
}

void TfrmRestore::BtnRestoreClick()
{
    Prompts &prompts = Prompts::instance();
    Database *db = m_dm->database();
    if (!db) {
        prompts.warn(QStringLiteral("对不起，数据库没有连接！"));
        return;
    }
    if (!logCommand(*db, QStringLiteral("系统设置-数据恢复-恢复")))
        return;
    const QString live = db->location();
    if (!prompts.askOkCancel(QStringLiteral("恢复以前备份数据之前，请确认您已经备份好\n"
                                            "当前的数据，以免对您造成不必要的损失！按\n"
                                            "[确定]系统将恢复以前的备份数据，按[取消]\n"
                                            "返回！"),
                             Prompts::Icon::Warning))
        return;
    DatabaseBackup backup(live);
    if (const QString refused = backup.checkSource(m_path->text()); !refused.isEmpty()) {
        prompts.warn(refused);
        return;
    }
    // Rows in hand belong to the data being replaced: stored there first,
    // or the restore does not happen.
    if (const QString refused = m_dm->storePendingEdits(); !refused.isEmpty()) {
        prompts.warn(refused);
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    // This workstation's own connection would hold the lock the restore
    // needs; the other workstations see the switch when it commits.
    m_dm->disconnectDatabase();
    const QString result = backup.restoreFrom(m_path->text());
    QString error;
    auto again = DbSetup::openExisting(live, &error);
    const QString unusable = again ? m_reconnect(std::move(again)) : error;
    QApplication::restoreOverrideCursor();
    if (!result.isEmpty())
        prompts.warn(result);
    if (!unusable.isEmpty())
        prompts.warn(StartupConnection::failureText(live, unusable));
    if (!result.isEmpty() || !unusable.isEmpty())
        return;
    prompts.inform(DatabaseBackup::kRestoreDone);
    accept();
}
