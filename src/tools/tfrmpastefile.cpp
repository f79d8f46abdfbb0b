#include "tools/tfrmpastefile.h"

#include "tools/filelist.h"
#include "tools/folderchooser.h"
#include "ui/prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmPasteFile::TfrmPasteFile(Mode mode, const QString &folder, QWidget *parent) : QDialog(parent), m_mode(mode)
{
    setObjectName(QStringLiteral("TfrmPasteFile"));
    setWindowTitle(mode == Mode::Cut ? QStringLiteral("剪切文件") : QStringLiteral("复制文件"));

    auto *choose = new QPushButton(QStringLiteral("请选择源文件目录"), this);
    choose->setObjectName(QStringLiteral("BtnSource"));
    choose->setAutoDefault(false);
    m_source = new QLineEdit(this);
    m_source->setObjectName(QStringLiteral("EdtSource"));
    m_source->setReadOnly(true);
    m_chooser = new FolderChooser(this);
    m_list = new FileList(this);
    auto *paste = new QPushButton(QStringLiteral("粘贴"), this);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    paste->setObjectName(QStringLiteral("BtnPaste"));
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    paste->setAutoDefault(false);

    auto *sourceRow = new QHBoxLayout;
    sourceRow->addWidget(choose);
    sourceRow->addWidget(m_source, 1);
    auto *folders = new QHBoxLayout;
    folders->addWidget(m_chooser, 1);
    folders->addWidget(m_list, 2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(paste);
    buttons->addWidget(cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(sourceRow);
    layout->addWidget(new QLabel(QStringLiteral("请选择目标文件夹："), this));
    layout->addLayout(folders, 1);
    layout->addLayout(buttons);
    resize(620, 420);

    connect(choose, &QPushButton::clicked, this, &TfrmPasteFile::BtnSourceClick);
    connect(paste, &QPushButton::clicked, this, &TfrmPasteFile::BtnPasteClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_chooser, &FolderChooser::folderChosen, this, &TfrmPasteFile::chooseFolder);
    connect(m_list, &FileList::folderChanged, this, &TfrmPasteFile::chooseFolder);

    m_folder = QDir(folder).absolutePath();
    m_list->setFolder(m_folder);
    m_chooser->showFolder(m_folder);
}

QString TfrmPasteFile::source() const { return m_source->text(); }

void TfrmPasteFile::chooseFolder(const QString &path)
{
    m_folder = QDir(path).absolutePath();
    m_list->setFolder(m_folder);
    m_chooser->showFolder(m_folder);
    emit folderChosen(m_folder);
}

void TfrmPasteFile::BtnSourceClick()
{
    const QString file = Prompts::instance().openFileName(windowTitle(), QStringLiteral("所有文件 (*)"), m_folder);
    if (!file.isEmpty())
        m_source->setText(QDir::cleanPath(file));
}

void TfrmPasteFile::BtnPasteClick()
{
    Prompts &prompts = Prompts::instance();
    const QString from = source();
    if (from.isEmpty()) {
        prompts.warn(QStringLiteral("请选择源文件！"));
        return;
    }
    const QString to = QDir(m_folder).filePath(QFileInfo(from).fileName());
    // Also covers pasting a file onto itself, which must not lose it in
    // cut mode.
    if (QFileInfo::exists(to) || QFileInfo(to).isSymLink()) {
        prompts.warn(QStringLiteral("对不起，目标文件夹中已存在同名文件！"));
        return;
    }
    QFile file(from);
    if (!file.copy(to)) {
        prompts.warn(file.errorString());
        m_list->refresh();
        return;
    }
    // When the source cannot be removed the copy is there and the source
    // stays; the user hears why.
    if (m_mode == Mode::Cut && !file.remove())
        prompts.warn(file.errorString());
    m_list->refresh();
}
