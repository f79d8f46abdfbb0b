#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// One address of a message, with the name shown beside it when there is
// one: "张三 <zs@example.cn>" or a bare "zs@example.cn".
struct MailAddress {
    QString name;
    QString address;

    bool operator==(const MailAddress &) const = default;

    // The address text as the user typed it in a list separated by commas
    // (or semicolons): "张三 <zs@x.cn>, ls@y.cn", quoted names may hold a
    // comma. Empty entries are left out; an entry without angle brackets is
    // all address.
    static QList<MailAddress> parseList(const QString &text);
    // Plausible enough to hand to a server: one '@' with text on both sides
    // and nothing that would break the SMTP command line.
    bool isUsable() const;
    // The form of a header field: the name RFC 2047 encoded when it is not
    // plain ASCII, the address in angle brackets.
    QByteArray headerText() const;
    // The form of MAIL FROM and RCPT TO: "<address>".
    QByteArray envelopeText() const;
    // "张三 <zs@x.cn>", as the user reads it.
    QString display() const;
};
