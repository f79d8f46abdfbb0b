#pragma once

#include <QDialog>

class FileList;
class FolderChooser;
class QLineEdit;

// "复制文件" / "剪切文件": copies one chosen file into a target folder,
// in cut mode removing the source after a successful copy. Nothing is
// ever overwritten. The dialog stays open; choosing a target folder also
// moves the tools panel there (folderChosen).
class TfrmPasteFile : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Copy, Cut };

    TfrmPasteFile(Mode mode, const QString &folder, QWidget *parent = nullptr);

    Mode mode() const { return m_mode; }
    QString source() const;
    QString folder() const { return m_folder; }
    void chooseFolder(const QString &path);

    void BtnSourceClick(); // "请选择源文件目录"
    void BtnPasteClick();  // "粘贴"

    FileList *fileList() const { return m_list; }

signals:
    void folderChosen(const QString &path);

private:
    Mode m_mode;
    QString m_folder;
    QLineEdit *m_source;
    FolderChooser *m_chooser;
    FileList *m_list;
};
