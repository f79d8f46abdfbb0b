#pragma once

#include <QDialog>

struct MailMessage;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;

// "邮件内容": subject, copies, body and attachments of the mail window's
// message. It opens with the message as it stands, so that nothing is sent
// that the user cannot see here, and "确定" makes the message exactly what
// the dialog shows (an emptied "抄送：" removes the copies, a removed
// attachment is no longer sent). "取消" changes nothing.
class TfrmMailMemo : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmMailMemo(MailMessage *message, QWidget *parent = nullptr);

    QLineEdit *subject() const { return m_subject; }
    QLineEdit *cc() const { return m_cc; }
    QLineEdit *bcc() const { return m_bcc; }
    QPlainTextEdit *body() const { return m_body; }
    QListWidget *attachments() const { return m_attachments; }

    void BtnAttachClick(); // "附件..."
    void BtnImportClick(); // "导入..."
    void BtnSaveClick();   // "保存邮件"
    void BtnOkClick();     // "确定"
    void removeSelectedAttachment();

    // A text file as a Chinese desktop writes it: UTF-8 (with or without a
    // byte-order mark), else GB18030. False with the reason.
    static bool readText(const QString &path, QString *text, QString *error);

protected:
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    MailMessage *m_message;
    QLineEdit *m_subject;
    QLineEdit *m_cc;
    QLineEdit *m_bcc;
    QPlainTextEdit *m_body;
    QListWidget *m_attachments;
};
