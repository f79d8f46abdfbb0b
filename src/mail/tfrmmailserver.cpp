#include "mail/tfrmmailserver.h"

#include "mail/mailaddress.h"
#include "mail/mailmessage.h"
#include "mail/smtpsession.h"
#include "ui/dialogbuttons.h"
#include "ui/editkeys.h"
#include "ui/prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QThread>
#include <QVBoxLayout>

namespace {
QString g_caFile;
}

const QStringList &TfrmMailServer::presetServers()
{
    static const QStringList servers = {QStringLiteral("smtp.163.com"),  QStringLiteral("smtp.126.com"),
                                        QStringLiteral("smtp.qq.com"),   QStringLiteral("smtp.sina.com"),
                                        QStringLiteral("smtp.sohu.com"), QStringLiteral("smtp.aliyun.com")};
    return servers;
}

void TfrmMailServer::trustCertificates(const QString &caFile)
{
    g_caFile = caFile;
}

TfrmMailServer::TfrmMailServer(SmtpSession *session, MailMessage *message, QWidget *parent)
    : QDialog(parent), m_session(session), m_message(message), m_server(new QComboBox(this)),
      m_port(new QLineEdit(this)), m_sender(new QLineEdit(this)), m_user(new QLineEdit(this)),
      m_password(new QLineEdit(this)), m_allowPlain(new QCheckBox(QStringLiteral("允许不加密发送密码"), this)),
      m_status(new QLabel(this))
{
    setObjectName(QStringLiteral("TfrmMailServer"));
    setWindowTitle(QStringLiteral("服务器设置"));
    auto *outer = new QVBoxLayout(this);
    auto *body = new QHBoxLayout;
    outer->addLayout(body, 1);
    auto *form = new QFormLayout;
    body->addLayout(form, 1);
    m_server->setEditable(true);
    m_server->addItems(presetServers());
    m_server->setCurrentIndex(-1);
    m_server->setEditText({});
    m_port->setText(QStringLiteral("25"));
    maskWithStars(m_password);
    const std::pair<const char *, QWidget *> rows[] = {{"服务器设置：", m_server},
                                                      {"端  口  号：", m_port},
                                                      {"发件人地址：", m_sender},
                                                      {"用  户  名：", m_user},
                                                      {"密      码：", m_password}};
    const char *names[] = {"Combo_Server", "Edit_Port", "Edit_Sender", "Edit_User", "Edit_Password"};
    int i = 0;
    for (const auto &[caption, field] : rows) {
        const QString text = QString::fromUtf8(caption);
        field->setObjectName(QString::fromLatin1(names[i++]));
        field->setAccessibleName(QString(text).remove(QLatin1Char(' ')).chopped(1));
        form->addRow(text, field);
    }
    // Off unless the user says so for a server that offers no STARTTLS:
    // the password then crosses the network readable.
    m_allowPlain->setObjectName(QStringLiteral("Check_AllowPlainLogin"));
    m_allowPlain->setChecked(false);
    form->addRow(QString(), m_allowPlain);
    auto *buttons = new QVBoxLayout;
    body->addLayout(buttons);
    m_buttons << addDialogButton(buttons, this, QStringLiteral("连接"), QStringLiteral("BtnConnect"), {},
                                 &TfrmMailServer::BtnConnectClick);
    m_buttons << addDialogButton(buttons, this, QStringLiteral("断开"), QStringLiteral("BtnDisconnect"), {},
                                 &TfrmMailServer::BtnDisconnectClick);
    m_buttons << addDialogButton(buttons, this, QStringLiteral("关闭"), QStringLiteral("BtnClose"), {},
                                 &QDialog::accept);
    buttons->addStretch();
    auto *bar = new QStatusBar(this);
    bar->setObjectName(QStringLiteral("StatusBar"));
    bar->setSizeGripEnabled(false);
    m_status->setObjectName(QStringLiteral("Label_Status"));
    bar->addWidget(m_status, 1);
    outer->addWidget(bar);
    setEnterOrder({m_server, m_port, m_sender, m_user, m_password});
    resize(420, 260);
}

void TfrmMailServer::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    m_server->setFocus();
}

QString TfrmMailServer::statusText() const
{
    return m_status->text();
}

void TfrmMailServer::setStatus(const QString &text)
{
    m_status->setText(text);
    m_history << text;
}

void TfrmMailServer::runAway(const std::function<void()> &work)
{
    // The dialog stays painted and answers nothing else while the server
    // is being waited for.
    for (QPushButton *b : std::as_const(m_buttons))
        b->setEnabled(false);
    QEventLoop loop;
    QThread *thread = QThread::create(work);
    connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    if (!thread->isFinished())
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    for (QPushButton *b : std::as_const(m_buttons))
        b->setEnabled(true);
}

void TfrmMailServer::BtnConnectClick()
{
    Prompts &p = Prompts::instance();
    const std::pair<QWidget *, const char *> required[] = {{m_server, "请输入服务器地址!"},
                                                          {m_port, "请输入服务器端口号!"},
                                                          {m_sender, "请输入发件人地址!"},
                                                          {m_user, "请输入用户名!"},
                                                          {m_password, "请输入用户密码!"}};
    for (const auto &[field, text] : required) {
        const QString value = field == m_server ? m_server->currentText() : qobject_cast<QLineEdit *>(field)->text();
        if (value.isEmpty()) {
            p.warn(QString::fromUtf8(text));
            field->setFocus();
            return;
        }
    }
    // Checked as the recipients are: a pasted line break would reach the
    // From: header and the MAIL FROM command.
    if (!MailAddress{{}, m_sender->text().trimmed()}.isUsable()) {
        p.warn(QStringLiteral("您输入的邮件地址不合法!"));
        m_sender->setFocus();
        m_sender->selectAll();
        return;
    }
    m_message->sender.address = m_sender->text().trimmed();
    setStatus(QStringLiteral("准备连接到服务器!"));

    bool portOk = false;
    const int port = m_port->text().trimmed().toInt(&portOk);
    SmtpSession::Server s;
    s.host = m_server->currentText().trimmed();
    s.port = port;
    s.user = m_user->text().trimmed();
    s.password = m_password->text().trimmed();
    s.implicitTls = SmtpSession::implicitTlsPort(port);
    s.caFile = g_caFile;
    s.allowPlainLogin = m_allowPlain->isChecked();
    QString error = QStringLiteral("端口号不是整数");
    if (portOk)
        runAway([&] { error = m_session->connect(s); });
    else
        m_session->disconnect();
    if (!error.isEmpty()) {
        setStatus(QStringLiteral("无法连接到服务器!"));
        m_status->setToolTip(error);
        p.warn(QStringLiteral("无法连接到服务器!"));
        return;
    }
    setStatus(QStringLiteral("已经连接到服务器 ") + m_server->currentText());

    if (!m_session->offersLogin()) {
        setStatus(QStringLiteral("服务器不需要验证"));
        return;
    }
    setStatus(QStringLiteral("服务器要求验证"));
    p.warn(QStringLiteral("服务器要求验证"));
    setStatus(QStringLiteral("开始验证"));
    SmtpSession::Auth result = SmtpSession::Auth::Failed;
    runAway([&] { result = m_session->authenticate(&error); });
    switch (result) {
    case SmtpSession::Auth::Passed:
        setStatus(QStringLiteral("服务器验证通过!"));
        break;
    case SmtpSession::Auth::Refused:
        setStatus(QStringLiteral("服务器验证失败!"));
        p.warn(QStringLiteral("服务器验证失败"));
        break;
    case SmtpSession::Auth::Failed:
        setStatus(QStringLiteral("服务器验证失败"));
        m_session->disconnect();
        setStatus(QStringLiteral("断开连接"));
        break;
    case SmtpSession::Auth::NotEncrypted:
        setStatus(QStringLiteral("服务器不支持加密连接"));
        p.warn(SmtpSession::kNotEncryptedText);
        m_session->disconnect();
        setStatus(QStringLiteral("断开连接"));
        break;
    }
}

void TfrmMailServer::BtnDisconnectClick()
{
    if (m_session->isConnected())
        m_session->disconnect();
    setStatus(QStringLiteral("断开连接!"));
}
