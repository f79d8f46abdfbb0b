#include "admin/backupfiledialog.h"

#include "data/databasebackup.h"

#include <QDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

BackupFileDialog layOutBackupFileDialog(QDialog *dialog, const QString &caption, const QString &actionText,
                                        const QString &actionObjectName)
{
    dialog->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto *label = new QLabel(caption, dialog);
    auto *path = new QLineEdit(dialog);
    path->setObjectName(QStringLiteral("edPath"));
    path->setMinimumWidth(380);
    path->setText(DatabaseBackup::defaultFile());
    label->setBuddy(path);
    auto *browse = new QPushButton(QStringLiteral("..."), dialog);
    browse->setObjectName(QStringLiteral("BtnBrowse"));
    browse->setFixedWidth(32);
    browse->setAccessibleName(QStringLiteral("选择备份文件"));
    auto *action = new QPushButton(actionText, dialog);
    action->setObjectName(actionObjectName);
    auto *cancel = new QPushButton(QStringLiteral("取消"), dialog);
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    browse->setAutoDefault(false);
    cancel->setAutoDefault(false);

    auto *grid = new QGridLayout(dialog);
    grid->addWidget(label, 0, 0, 1, 2);
    grid->addWidget(path, 1, 0);
    grid->addWidget(browse, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(action);
    buttons->addWidget(cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    return {path, browse, action};
}
