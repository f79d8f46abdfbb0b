#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// The encodings that carry Chinese text through mail, which is 7-bit ASCII
// on the wire: headers as RFC 2047 encoded words, file names as RFC 2231
// parameters, bodies as base64 in lines of 76.
namespace MimeText {
// A header text (the subject): unchanged when it is printable ASCII,
// else UTF-8 base64 encoded words, each within 75 characters and never
// splitting a character, folded onto continuation lines.
QByteArray headerValue(const QString &text);
// A display name: an atom, a quoted string or encoded words.
QByteArray phrase(const QString &name);
// base64 in lines of at most 76 characters, each ended by CR LF.
QByteArray base64Lines(const QByteArray &data);
// The parameters of a file name: filename*=UTF-8''percent-encoded for
// readers of RFC 2231, and a plain or encoded-word filename= for older
// ones. Begins with "; ".
QByteArray fileNameParameters(const QString &param, const QString &fileName);
// RFC 5322 date: "Tue, 02 Jan 2024 09:05:00 +0800", English names whatever
// the locale.
QByteArray date(const QDateTime &at);
} // namespace MimeText
