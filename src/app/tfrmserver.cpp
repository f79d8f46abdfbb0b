#include "app/tfrmserver.h"

#include "data/apppaths.h"
#include "data/database.h"
#include "data/dbsetup.h"
#include "data/dmmain.h"
#include "data/serverfile.h"
#include "data/startupconnection.h"
#include "ui/logcommand.h"
#include "ui/prompts.h"

#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QUrl>

TfrmServer::TfrmServer(Current current, SwitchTo switchTo, QWidget *parent)
    : QDialog(parent), m_current(std::move(current)), m_switchTo(std::move(switchTo))
{
    setObjectName(QStringLiteral("TfrmServer"));
    setWindowTitle(QStringLiteral("服务器设置"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);

    m_path = new QLineEdit(this);
    m_path->setObjectName(QStringLiteral("edPath"));
    m_path->setMinimumWidth(360);
    m_path->setText(ServerFile::read());
    m_browse = new QPushButton(QStringLiteral("..."), this);
    m_browse->setObjectName(QStringLiteral("BtnBrowse"));
    m_browse->setFixedWidth(32);
    m_save = new QPushButton(QStringLiteral("保存"), this);
    m_save->setObjectName(QStringLiteral("BtnSave"));
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setObjectName(QStringLiteral("BtnCancel"));
    m_browse->setAutoDefault(false);
    m_cancel->setAutoDefault(false);

    auto *grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("请选择数据库文件所在目录："), this), 0, 0, 1, 2);
    grid->addWidget(m_path, 1, 0);
    grid->addWidget(m_browse, 1, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    grid->addLayout(buttons, 2, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_browse, &QPushButton::clicked, this, &TfrmServer::BtnBrowseClick);
    connect(m_save, &QPushButton::clicked, this, &TfrmServer::BtnSaveClick);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmServer::BtnBrowseClick()
{
    QString start = DbSetup::resolveLocation(ServerFile::read());
    if (start.isEmpty() || Database::isPostgresUri(start))
        start = AppPaths::defaultDatabasePath();
    const QString chosen = Prompts::instance().openFileName(QStringLiteral("服务器数据库文件路径设置"),
                                                            QStringLiteral("数据库文件(*.hdb)"), start);
    if (!chosen.isEmpty())
        m_path->setText(QFileInfo(chosen).absoluteFilePath());
}

void TfrmServer::BtnSaveClick()
{
    // The line goes to the database that is still connected; when a failed
    // change left none, there is nothing to write it to.
    Database *current = m_current();
    if (current && !logCommand(*current, QStringLiteral("系统设置-服务器设置-保存")))
        return;
    const QString line = m_path->text().trimmed();
    const QString location = DbSetup::resolveLocation(line);
    Prompts &prompts = Prompts::instance();
    // Rows in hand go into the database being left before anything else;
    // one that is refused stops the change with its reason.
    if (TdmMain *dm = TdmMain::instance(); dm && current && dm->database() == current)
        if (const QString refused = dm->storePendingEdits(); !refused.isEmpty()) {
            prompts.warn(refused);
            return;
        }
    if (Database::isPostgresUri(location)) {
        // Server.txt is a plain file beside the program on a shared
        // machine: a password there would be readable by anyone.
        if (!QUrl(location).password().isEmpty()) {
            prompts.warn(QStringLiteral("对不起，服务器地址中不能写口令，请把口令放在 ~/.pgpass 或 PGPASSWORD 中！"));
            return;
        }
    } else if (location.isEmpty() || !QFileInfo(location).isFile()) {
        prompts.warn(QStringLiteral("对不起，您设置的服务器中数据库文件不存在！"));
        return;
    }
    // Open and check the new database before anything changes: on failure
    // the old connection and the old Server.txt stay as they were.
    QString error;
    auto db = DbSetup::openExisting(location, &error);
    if (!db) {
        prompts.warn(StartupConnection::failureText(location, error));
        return;
    }
    // Server.txt changes only once the program works on the new database.
    const QString refused = m_switchTo(std::move(db));
    if (!refused.isEmpty()) {
        prompts.warn(StartupConnection::failureText(location, refused));
        return;
    }
    if (!ServerFile::write(line)) {
        prompts.warn(QStringLiteral("对不起，无法写入") + AppPaths::serverFile() + QStringLiteral("！"));
        return;
    }
    prompts.inform(QStringLiteral("服务器设置成功！"));
    accept();
}
