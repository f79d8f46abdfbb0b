#include "admin/tfrmrestore.h"

#include "data/database.h"
#include "data/databasebackup.h"
#include "data/dbsetup.h"
#include "data/dmmain.h"
#include "data/startupconnection.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfrmRestore::TfrmRestore(TdmMain *dm, Reconnect reconnect, QWidget *parent)
    : QDialog(parent), m_dm(dm), m_reconnect(std::move(reconnect))
{
    setObjectName(QStringLiteral("TfrmRestore"));
    setWindowTitle(QStringLiteral("数据恢复"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto *label = new QLabel(QStringLiteral("请选择恢复数据库文件所在的系统目录："), this);
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("edPath"));
    m_path->setMinimumWidth(380);
    m_path->setText(DatabaseBackup::defaultFile());
    label->setBuddy(m_path);
    auto *browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("BtnBrowse"));
    browse->setFixedWidth(32);
    browse->setAccessibleName(QStringLiteral("选择备份文件"));
    auto *restore = new QPushButton(QStringLiteral("恢复"), this);
    restore->setObjectName(QStringLiteral("BtnRestore"));
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    browse->setAutoDefault(false);
    cancel->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(label, 0, 0, 1, 2);
    grid->addWidget(m_path, 1, 0);
    grid->addWidget(browse, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(restore);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(browse, &QPushButton::clicked, this, &TfrmRestore::BtnBrowseClick);
    connect(restore, &QPushButton::clicked, this, &TfrmRestore::BtnRestoreClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
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
