#pragma once

#include <QString>

// Plausibility of numbers typed into a person's record. They only warn:
// records kept before these checks must still save.
namespace EntryChecks {
inline const QString kBadIdentityNumber = QStringLiteral("身份证号码格式不正确，请核对！");
inline const QString kBadMobile = QStringLiteral("手机号码格式不正确，请核对！");

// An identity card number: 18 characters whose last is the check
// character of the first 17 digits (GB 11643, "X" for ten, either case),
// or the old form of 15 digits.
bool isIdentityNumber(const QString &text);
// A mainland mobile number: 11 digits beginning with 1.
bool isMobile(const QString &text);
} // namespace EntryChecks
