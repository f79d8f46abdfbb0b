#pragma once

#include <QString>

// Passwords are kept as salted argon2id strings, never in clear.
namespace Password {
QString hash(const QString &plain);        // empty on failure
bool isHash(const QString &stored);        // an argon2id string rather than old clear text
bool verify(const QString &stored, const QString &plain);
} // namespace Password
