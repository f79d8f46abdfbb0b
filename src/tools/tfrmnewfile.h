#pragma once

#include <QDialog>

class FileList;
class FolderChooser;
class QComboBox;
class QLineEdit;

// "新建文件": makes an empty text, Word or Excel file in a chosen folder.
// The dialog stays open for the next file; choosing a folder also moves
// the tools panel there (folderChosen).
class TfrmNewFile : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmNewFile(const QString &folder, QWidget *parent = nullptr);

    QString folder() const { return m_folder; }
    void chooseFolder(const QString &path);

    void BtnOkClick();
    void BtnNewClick();

    QLineEdit *fileName() const { return m_name; }
    QComboBox *fileType() const { return m_type; }
    FileList *fileList() const { return m_list; }

signals:
    void folderChosen(const QString &path);

private:
    QString m_folder;
    QLineEdit *m_name;
    QComboBox *m_type;
    FolderChooser *m_chooser;
    QLineEdit *m_folderLine;
    FileList *m_list;
};
