#pragma once

#include "mail/mailmessage.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// A message made ready for the wire once per mailing: the body and the
// attachments are read and encoded here, so that each of a thousand
// recipients costs only its own header lines.
//
//     MimeMessage mime(message);
//     if (!mime.isValid()) warn(mime.error());
//     QByteArray bytes = mime.bytesFor(recipient, QDateTime::currentDateTime());
//
// UTF-8 throughout: the subject and names as encoded words, the body in
// base64, attachment names as RFC 2231 parameters. There is never a Bcc
// header: blind copies are on the envelope only.
class MimeMessage
{
public:
    explicit MimeMessage(const MailMessage &message);

    bool isValid() const { return m_error.isEmpty(); }
    // The file system's words about an attachment that could not be read.
    const QString &error() const { return m_error; }

    // The whole message with CR LF line ends for one recipient, with its
    // own Date and Message-ID.
    QByteArray bytesFor(const MailAddress &to, const QDateTime &date) const;

private:
    QByteArray m_head;     // From, Cc, Subject, MIME-Version
    QByteArray m_content;  // the Content-Type header onwards
    QByteArray m_idDomain; // the sender's domain, for Message-IDs
    QString m_error;
};
