#include "admin/tfrmbackup.h"

#include "data/database.h"
#include "data/databasebackup.h"
#include "data/dmmain.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfrmBackup::TfrmBackup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmBackup"));
    setWindowTitle(QStringLiteral("数据备份"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    auto *label = new QLabel(QStringLiteral("请选择备份数据库的系统目录："), this);
    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("edPath"));
    m_path->setMinimumWidth(380);
    m_path->setText(DatabaseBackup::defaultFile());
    label->setBuddy(m_path);
    auto *browse = new QPushButton(QStringLiteral("..."), this);
    browse->setObjectName(QStringLiteral("BtnBrowse"));
    browse->setFixedWidth(32);
    browse->setAccessibleName(QStringLiteral("选择备份文件"));
    auto *backup = new QPushButton(QStringLiteral("备份"), this);
    backup->setObjectName(QStringLiteral("BtnBackup"));
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
    buttons->addWidget(backup);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(browse, &QPushButton::clicked, this, &TfrmBackup::BtnBrowseClick);
    connect(backup, &QPushButton::clicked, this, &TfrmBackup::BtnBackupClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
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
    prompts.inform(DatabaseBackup::kBackupDone);
    accept();
}
