#pragma once

#include <QString>

class QDialog;
class QLineEdit;
class QPushButton;

// The face the backup and the restore dialog share: a caption, the file's
// path with "..." beside it, the dialog's one action and "取消" (which
// rejects). The path starts at the day's default backup file.
struct BackupFileDialog {
    QLineEdit *path;
    QPushButton *browse;
    QPushButton *action;
};

BackupFileDialog layOutBackupFileDialog(QDialog *dialog, const QString &caption, const QString &actionText,
                                        const QString &actionObjectName);
