#pragma once

#include <QPointer>
#include <QWidget>

class FileList;
class QLineEdit;

// "文件及工具栏": the always-on-top panel beside the main window. Its tools
// area starts desktop utilities and the envelope labels; its file area
// shows the current folder, which module windows move to the folder of
// the record in hand (setFolder with a DocumentFolders path).
class TfrmTools : public QWidget
{
    Q_OBJECT
public:
    enum class PasteMode { Copy, Cut };

    explicit TfrmTools(QWidget *parent = nullptr);

    // The window it stands beside: each time it is shown it places itself
    // at that window's right edge, just below its title bar.
    // The window the panel stands beside, and the part of it whose top the
    // panel keeps level with (the main window's work area).
    void setAnchor(QWidget *window, QWidget *area = nullptr)
    {
        m_anchor = window;
        m_area = area;
    }
    void placeBesideAnchor();

    void setFolder(const QString &path);
    QString folder() const;
    FileList *fileList() const { return m_list; }
    PasteMode pasteMode() const { return m_pasteMode; }

    // The file area's buttons. Each writes its log line first.
    void newFile();  // "新建文件"
    void cutFile();  // "剪切" / "剪切文件"
    void copyFile(); // "复制" / "复制文件"
    void goRoot();   // "文件根目录"
    void goUp();     // "向上"
    void refreshList(); // "刷新"

    // The dialogs themselves, for the "文件管理(&F)" menu entries, whose
    // actions have written the log line already. The paste mode lasts
    // until the next cut or copy.
    void openNewFileDialog();
    void openPasteDialog(PasteMode mode);

    // Tools area.
    void runCalculator();
    void runCalendar();
    void runSystemInformation();
    void runEnvelopeLabels();

signals:
    // Shown or hidden other than by minimizing, e.g. closed with its
    // title-bar button: the main window keeps its check mark in step.
    void visibilityChanged(bool visible);
    void folderChanged(const QString &path);
    // Right 503 checked; the envelope window answers this.
    void envelopeLabelsRequested();

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *buildTools();
    QWidget *buildFileArea();

    QPointer<QWidget> m_anchor;
    QPointer<QWidget> m_area;
    FileList *m_list = nullptr;
    QLineEdit *m_folderLine = nullptr;
    PasteMode m_pasteMode = PasteMode::Copy;
};
