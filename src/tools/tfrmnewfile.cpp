#include "tools/tfrmnewfile.h"

#include "tools/filelist.h"
#include "tools/folderchooser.h"
#include "ui/prompts.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
struct FileType {
    const char *caption;
    const char *suffix;
};
// The captions as the users know them, brackets and all.
const FileType kTypes[] = {
    {"文本文件（*.Txt）", ".txt"},
    {"Microsoft Word文档（*.doc)", ".doc"},
    {"Microsoft Excel文件（*.xls）", ".xls"},
};
} // namespace

TfrmNewFile::TfrmNewFile(const QString &folder, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TfrmNewFile"));
    setWindowTitle(QStringLiteral("新建文件"));

    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("EdtFileName"));
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("CbxFileType"));
    for (const FileType &t : kTypes)
        m_type->addItem(QString::fromUtf8(t.caption));
    m_type->setCurrentIndex(-1);
    m_chooser = new FolderChooser(this);
    m_folderLine = new QLineEdit(this);
    m_folderLine->setObjectName(QStringLiteral("EdtFolder"));
    m_folderLine->setReadOnly(true);
    m_list = new FileList(this);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("文 件 名："), m_name);
    form->addRow(QStringLiteral("文件类型："), m_type);

    auto *ok = new QPushButton(QStringLiteral("确定"), this);
    auto *cancel = new QPushButton(QStringLiteral("取消"), this);
    auto *next = new QPushButton(QStringLiteral("新建..."), this);
    ok->setObjectName(QStringLiteral("BtnOk"));
    cancel->setObjectName(QStringLiteral("BtnCancel"));
    next->setObjectName(QStringLiteral("BtnNew"));
    ok->setAutoDefault(false);
    next->setAutoDefault(false);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(next);

    auto *folders = new QHBoxLayout;
    folders->addWidget(m_chooser, 1);
    folders->addWidget(m_list, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(new QLabel(QStringLiteral("请选择文件目录："), this));
    layout->addLayout(folders, 1);
    layout->addWidget(m_folderLine);
    layout->addLayout(buttons);
    resize(620, 420);

    connect(ok, &QPushButton::clicked, this, &TfrmNewFile::BtnOkClick);
    connect(next, &QPushButton::clicked, this, &TfrmNewFile::BtnNewClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_chooser, &FolderChooser::folderChosen, this, &TfrmNewFile::chooseFolder);
    connect(m_list, &FileList::folderChanged, this, &TfrmNewFile::chooseFolder);

    m_folder = QDir(folder).absolutePath();
    m_folderLine->setText(m_folder);
    m_list->setFolder(m_folder);
    m_chooser->showFolder(m_folder);
    m_name->setFocus();
}

void TfrmNewFile::chooseFolder(const QString &path)
{
    m_folder = QDir(path).absolutePath();
    m_folderLine->setText(m_folder);
    m_list->setFolder(m_folder);
    m_chooser->showFolder(m_folder);
    emit folderChosen(m_folder);
}

void TfrmNewFile::BtnOkClick()
{
    Prompts &prompts = Prompts::instance();
    const QString name = m_name->text();
    if (name.isEmpty()) {
        prompts.warn(QStringLiteral("请输入需要创建的文件名称！"));
        m_name->setFocus();
        return;
    }
    if (m_type->currentIndex() < 0) {
        prompts.warn(QStringLiteral("请选择需要创建的文件的类型！"));
        m_type->setFocus();
        return;
    }
    // The name is one file in the chosen folder, never a path of its own.
    if (name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\'))) {
        prompts.warn(QStringLiteral("对不起，文件名称不能包含路径分隔符！"));
        m_name->setFocus();
        return;
    }
    QFile file(QDir(m_folder).filePath(name + QLatin1String(kTypes[m_type->currentIndex()].suffix)));
    // NewOnly: an existing file of that name is never emptied, not even
    // one that appears between a check and the creation.
    if (QFileInfo::exists(file.fileName()) || QFileInfo(file.fileName()).isSymLink()) {
        prompts.warn(QStringLiteral("对不起，该文件已经存在！"));
        m_name->setFocus();
        return;
    }
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        prompts.warn(file.exists() ? QStringLiteral("对不起，该文件已经存在！") : file.errorString());
        return;
    }
    file.close();
    m_list->refresh();
}

void TfrmNewFile::BtnNewClick()
{
    m_name->clear();
    m_name->setFocus();
}
