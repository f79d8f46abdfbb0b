#pragma once

#include <QDialog>
#include <QStringList>

#include <functional>

struct MailMessage;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class SmtpSession;

// "服务器设置": connects the mail window's SMTP session and logs in when
// the server asks for it. Opens empty (port 25, "允许不加密发送密码"
// unticked) every time; like the other settings the tick lives only in
// the connection it was given to. "关闭" leaves the connection as it is. The network steps run off the window's thread,
// so the status line shows each step while the server answers.
class TfrmMailServer : public QDialog
{
    Q_OBJECT
public:
    TfrmMailServer(SmtpSession *session, MailMessage *message, QWidget *parent = nullptr);

    static const QStringList &presetServers();
    // Certificates to trust besides the system's, for every later
    // connection: a test server's throwaway certificate.
    static void trustCertificates(const QString &caFile);

    QComboBox *server() const { return m_server; }
    QLineEdit *port() const { return m_port; }
    QLineEdit *sender() const { return m_sender; }
    QLineEdit *user() const { return m_user; }
    QLineEdit *password() const { return m_password; }
    QCheckBox *allowPlainLogin() const { return m_allowPlain; }
    QString statusText() const;
    // Every status text shown since the dialog opened, in order.
    const QStringList &statusHistory() const { return m_history; }

    void BtnConnectClick();    // "连接"
    void BtnDisconnectClick(); // "断开"

protected:
    void showEvent(QShowEvent *event) override;

private:
    void setStatus(const QString &text);
    void runAway(const std::function<void()> &work);

    SmtpSession *m_session;
    MailMessage *m_message;
    QComboBox *m_server;
    QLineEdit *m_port;
    QLineEdit *m_sender;
    QLineEdit *m_user;
    QLineEdit *m_password;
    QCheckBox *m_allowPlain;
    QLabel *m_status;
    QList<QPushButton *> m_buttons;
    QStringList m_history;
};
