#pragma once

#include "mail/mailaddress.h"

#include <QList>
#include <QString>
#include <QStringList>

// The one message of a run of the mail window: what the content dialog
// and the server dialog write and what "发送" sends to every pending
// address. Lives in memory only.
struct MailMessage {
    MailAddress sender;        // from the server dialog; its name is the agency's
    QString subject;
    QString body;              // lines joined by '\n'
    QList<MailAddress> cc;
    QList<MailAddress> bcc;    // on the envelope only, never in a header
    QStringList attachments;   // full paths, read when the message is sent

    // Every address the envelope carries besides the recipient: CC, then BCC.
    QList<MailAddress> copies() const { return cc + bcc; }
};
