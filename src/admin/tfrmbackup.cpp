#include "admin/tfrmbackup.h"

#include "admin/backupfiledialog.h"
#include "data/database.h"
#include "data/databasebackup.h"
#include "data/dmmain.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QApplication>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

TfrmBackup::TfrmBackup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmBackup"));
    setWindowTitle(QStringLiteral("数据备份"));
    const BackupFileDialog face = layOutBackupFileDialog(
        this, QStringLiteral("请选择备份数据库的系统目录："), QStringLiteral("备份"), QStringLiteral("BtnBackup"));
    m_path = face.path;
    connect(face.browse, &QPushButton::clicked, this, &TfrmBackup::BtnBrowseClick);
    connect(face.action, &QPushButton::clicked, this, &TfrmBackup::BtnBackupClick);
}

void TfrmBackup::BtnBrowseClick()
{
    const QString chosen = Prompts::instance().saveFileName(
        QStringLiteral("数据备份"), DatabaseBackup::defaultFile(), QStringLiteral("数据文件(*.hdb)"));
    if (!chosen.isEmpty())
        m_path->setText(QFileInfo(chosen).absoluteFilePath());
}

void TfrmBackup::BtnBackupClick()
{
    if (!logCommand(QStringLiteral("系统设置-数据备份-备份")))
        return;
    Prompts &prompts = Prompts::instance();
    if (!prompts.askOkCancel(QStringLiteral("系统准备备份数据，如果该文件目录存在您以前\n"
                                            "备份的数据，系统会将您以前备份的数据覆盖，\n"
                                            "建议将数据保存在新的文件目录！按[确定]继续，\n"
                                            "按[取消]返回！"),
                             Prompts::Icon::Warning))
        return;
    DatabaseBackup backup(TdmMain::instance()->database()->location());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const QString refused = backup.backupTo(m_path->text());
    QApplication::restoreOverrideCursor();
    if (!refused.isEmpty()) {
        prompts.warn(refused);
        return;
    }
    if (backup.dayCopyWarning().isEmpty())
        prompts.inform(DatabaseBackup::kBackupDone);
    else
        prompts.warn(DatabaseBackup::kBackupDone + QLatin1Char('\n') + backup.dayCopyWarning());
    accept();
}
