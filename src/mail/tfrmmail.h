#pragma once

#include "mail/mailmessage.h"
#include "mail/smtpsession.h"
#include "ui/modulepanel.h"

#include <QUrl>

#include <functional>

class DataGrid;
class Dataset;
class QListWidget;
class QPushButton;

// "邮件群发": one message to many contacts. The contacts are picked from
// the contact list into the pending list, the message is written in
// "邮件内容", the connection made in "服务器设置"; "发送" sends the message
// to every pending address in turn, off the window's thread behind a
// progress dialog that can cancel, and lists the addresses that failed.
// The message and the connection live as long as the window, in memory.
class TfrmMail : public ModulePanel
{
    Q_OBJECT
public:
    explicit TfrmMail(QWidget *parent = nullptr);
    ~TfrmMail() override;

    // The main window's action, after its log line: the customers opened
    // when needed and every contact read afresh.
    void open() override;

    Dataset *contacts() const { return m_contacts; }
    DataGrid *grid() const { return m_grid; }
    QListWidget *pending() const { return m_pending; }
    QListWidget *failed() const { return m_failed; }
    QPushButton *button(const QString &objectName) const;
    MailMessage &message() { return m_message; }
    SmtpSession &session() { return m_session; }

    // "mailto:" for the desktop's mail program, every part percent-encoded.
    static QUrl mailToUrl(const QString &to, const QString &subject, const QString &body);
    // Tests watch what would be handed to the desktop.
    static void setUrlOpener(std::function<bool(const QUrl &)> open);

    void BtnAddClick();        // ">"
    void BtnRemoveClick();     // "<"
    void BtnAddAllClick();     // ">>"
    void BtnRemoveAllClick();  // "<<"
    void BtnSendClick();       // "发送"
    void BtnMemoClick();       // "邮件内容"
    void BtnQueryClick();      // "查询"
    void BtnMailToolClick();   // "邮件工具"
    void BtnServerClick();     // "服务器设置"
    void BtnCloseClick();      // "关闭"
    void addCurrentContact();  // a double click on the contact list

private:
    void openMemo();
    void openServer();
    void send();
    QString agencyName() const;

    Dataset *m_contacts;
    DataGrid *m_grid;
    QListWidget *m_pending;
    QListWidget *m_failed;
    QList<QPushButton *> m_buttons;
    MailMessage m_message;
    SmtpSession m_session;
};
