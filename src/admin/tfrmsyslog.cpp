#include "admin/tfrmsyslog.h"

#include "admin/data/logstore.h"
#include "data/apppaths.h"
#include "data/database.h"
#include "data/dataset.h"
#include "data/inifile.h"
#include "data/privatefiles.h"
#include "ui/datagrid.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeView>
#include <QVBoxLayout>

TfrmSysLog::TfrmSysLog(Database &db, QWidget *parent) : QDialog(parent), m_db(db)
{
    setObjectName(QStringLiteral("TfrmSysLog"));
    setWindowTitle(QStringLiteral("系统日志"));
    resize(760, 480);

    // A set of its own over the database the window is given: the log is
    // only read here, and needs no data module to be shown.
    m_log = LogStore::newList(m_db, this);
    m_grid = new DataGrid(m_log,
                          {{QStringLiteral("LogID"), QStringLiteral("日志编号")},
                           {QStringLiteral("LogDateTime"), QStringLiteral("操作时间")},
                           {QStringLiteral("UserID"), QStringLiteral("操作员")},
                           {QStringLiteral("Operate"), QStringLiteral("操作内容")}},
                          QStringLiteral("TfrmSysLog.List"), this);

    auto *clear = new QPushButton(QStringLiteral("清空日志"), this);
    clear->setObjectName(QStringLiteral("BtnClear"));
    auto *save = new QPushButton(QStringLiteral("保存日志"), this);
    save->setObjectName(QStringLiteral("BtnSave"));
    auto *close = new QPushButton(QStringLiteral(" 关 闭"), this);
    close->setObjectName(QStringLiteral("BtnClose"));
    for (QPushButton *b : {clear, save, close})
        b->setAutoDefault(false);

    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("系统操作记录："), this));
    left->addWidget(m_grid);
    auto *right = new QVBoxLayout;
    right->addSpacing(24);
    right->addWidget(clear);
    right->addWidget(save);
    right->addStretch();
    right->addWidget(close);
    auto *all = new QHBoxLayout(this);
    all->addLayout(left, 1);
    all->addLayout(right);

    connect(clear, &QPushButton::clicked, this, &TfrmSysLog::BtnClearClick);
    connect(save, &QPushButton::clicked, this, &TfrmSysLog::BtnSaveClick);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);
}

QAbstractItemView *TfrmSysLog::grid() const
{
    return m_grid->view();
}

void TfrmSysLog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmSysLog::FormShow()
{
    if (m_log->isActive())
        return;
    reopen();
}

void TfrmSysLog::reopen()
{
    if (!(m_log->isActive() ? m_log->refresh() : m_log->open())) {
        Prompts::instance().warn(m_log->lastError());
        return;
    }
    // Columns nobody has sized yet fit their text; widths the user set
    // are remembered by the grid and stay.
    QTreeView *view = m_grid->view();
    for (int c = 0; c + 1 < view->header()->count(); ++c)
        if (view->header()->sectionSize(c) == view->header()->defaultSectionSize())
            view->resizeColumnToContents(c);
}

int TfrmSysLog::rowCount() const
{
    m_log->fetchAll();
    return m_log->rowCount();
}

void TfrmSysLog::BtnClearClick()
{
    if (!logCommand(m_db, QStringLiteral("系统设置-系统日志-清空日志")))
        return;
    // The rows shown are all going; the list lets them go first.
    m_log->close();
    const QString error = LogStore::clear(m_db);
    if (!error.isEmpty())
        Prompts::instance().warn(error);
    reopen();
}

void TfrmSysLog::BtnSaveClick()
{
    if (!logCommand(m_db, QStringLiteral("系统设置-系统日志-保存日志")))
        return;
    const QString folder = AppPaths::path(QStringLiteral("Log"));
    PrivateFiles::makeFolder(folder);
    QString file = Prompts::instance().saveFileName(QStringLiteral("保存日志"), folder + QStringLiteral("/log.ini"),
                                                    QStringLiteral("ini文件(*.ini)"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".ini");

    QString error;
    IniFile::Entries entries;
    if (LogStore::exportEntries(m_db, &entries, &error)) {
        error = IniFile::mergeInto(file, QStringLiteral("LogFile"), entries);
        if (!error.isEmpty())
            error = QStringLiteral("对不起，无法写入文件：") + file + QLatin1Char('\n') + error;
    }
    if (!error.isEmpty())
        Prompts::instance().warn(error);
    reopen();
}
