#pragma once

#include <QString>
#include <QUrl>

// "发送邮件" and "打开...": the desktop's mail program and browser. Addresses
// are typed by users, so spaces, Chinese and '?' or '#' must arrive as
// they were typed: the URL is built from its parts and percent-encoded.
QUrl mailtoUrl(const QString &address);
QUrl webUrl(const QString &text); // "www.x.cn" becomes http://www.x.cn
bool openMailTo(const QString &address); // false for an empty address
bool openWebAddress(const QString &text);
