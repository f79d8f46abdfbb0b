#include "admin/tfrmsyslog.h"

#include "data/apppaths.h"
#include "data/database.h"
#include "data/inifile.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlError>
#include <QSqlQueryModel>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString kSelect = QStringLiteral("SELECT LogID, LogDateTime, UserID, Operate FROM tblLog ORDER BY LogID");
} // namespace

TfrmSysLog::TfrmSysLog(Database &db, QWidget *parent) : QDialog(parent), m_db(db)
{
    setObjectName(QStringLiteral("TfrmSysLog"));
    setWindowTitle(QStringLiteral("系统日志"));
    resize(760, 480);

    // The query model reads a page at a time, so a long log opens at once.
    m_model = new QSqlQueryModel(this);
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("dbgLog"));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->horizontalHeader()->setStretchLastSection(true);

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

void TfrmSysLog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TfrmSysLog::FormShow()
{
    if (m_model->query().isActive())
        return;
    reopen();
}

void TfrmSysLog::reopen()
{
    m_model->clear();
    m_model->setQuery(kSelect, m_db.sql());
    if (m_model->lastError().isValid()) {
        Prompts::instance().warn(m_db.errorText(m_model->lastError()));
        return;
    }
    const QStringList captions{QStringLiteral("日志编号"), QStringLiteral("操作时间"), QStringLiteral("操作员"),
                               QStringLiteral("操作内容")};
    for (int i = 0; i < captions.size(); ++i)
        m_model->setHeaderData(i, Qt::Horizontal, captions[i]);
    m_grid->resizeColumnsToContents();
}

int TfrmSysLog::rowCount() const
{
    while (m_model->canFetchMore())
        m_model->fetchMore();
    return m_model->rowCount();
}

void TfrmSysLog::BtnClearClick()
{
    if (!logCommand(m_db, QStringLiteral("系统设置-系统日志-清空日志")))
        return;
    // The open list holds a read on the table; let it go first.
    m_model->clear();
    const QString error = m_db.exec(QStringLiteral("DELETE FROM tblLog"));
    if (!error.isEmpty())
        Prompts::instance().warn(error);
    reopen();
}

void TfrmSysLog::BtnSaveClick()
{
    if (!logCommand(m_db, QStringLiteral("系统设置-系统日志-保存日志")))
        return;
    const QString folder = AppPaths::path(QStringLiteral("Log"));
    QDir().mkpath(folder);
    QString file = Prompts::instance().saveFileName(QStringLiteral("保存日志"), folder + QStringLiteral("/log.ini"),
                                                    QStringLiteral("ini文件(*.ini)"));
    if (file.isEmpty())
        return;
    if (QFileInfo(file).suffix().isEmpty())
        file += QStringLiteral(".ini");

    QSqlQuery q(m_db.sql());
    QString error;
    IniFile::Entries entries;
    if (m_db.prepareAndExec(q, kSelect, {}, &error)) {
        while (q.next())
            entries.append({q.value(0).toString(), q.value(1).toString() + QLatin1Char(' ') + q.value(2).toString()
                                                       + QLatin1Char(' ') + q.value(3).toString()});
        error = IniFile::mergeInto(file, QStringLiteral("LogFile"), entries);
        if (!error.isEmpty())
            error = QStringLiteral("对不起，无法写入文件：") + file + QLatin1Char('\n') + error;
    }
    if (!error.isEmpty())
        Prompts::instance().warn(error);
    reopen();
}
