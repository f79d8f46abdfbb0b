#include "data/password.h"

#include <sodium.h>

namespace {
bool ready()
{
    static const bool ok = sodium_init() >= 0;
    return ok;
}
} // namespace

namespace Password {

QString hash(const QString &plain)
{
    if (!ready())
        return {};
    const QByteArray p = plain.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    // Interactive limits: a login must stay quick on an office PC.
    if (crypto_pwhash_str(out, p.constData(), static_cast<unsigned long long>(p.size()),
                          crypto_pwhash_OPSLIMIT_INTERACTIVE, crypto_pwhash_MEMLIMIT_INTERACTIVE)
        != 0)
        return {};
    return QString::fromLatin1(out);
}

bool isHash(const QString &stored)
{
    return stored.startsWith(QLatin1String("$argon2id$"));
}

bool verify(const QString &stored, const QString &plain)
{
    if (!ready() || !isHash(stored))
        return false;
    const QByteArray s = stored.toLatin1();
    const QByteArray p = plain.toUtf8();
    return crypto_pwhash_str_verify(s.constData(), p.constData(), static_cast<unsigned long long>(p.size())) == 0;
}

} // namespace Password
