#include "data/password.h"
#include "data/passwordtestcost.h"

#include <sodium.h>

#include <atomic>

namespace {
bool ready()
{
    static const bool ok = sodium_init() >= 0;
    return ok;
}

// Set only through useMinimumCostForTests(), which the programs never call.
std::atomic<bool> minimumCost{false};
} // namespace

namespace Password {

QString hash(const QString &plain)
{
    if (!ready())
        return {};
    const QByteArray p = plain.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    // Interactive limits: a login must stay quick on an office PC.
    const bool cheap = minimumCost.load();
    const unsigned long long ops = cheap ? crypto_pwhash_OPSLIMIT_MIN : crypto_pwhash_OPSLIMIT_INTERACTIVE;
    const size_t mem = cheap ? crypto_pwhash_MEMLIMIT_MIN : crypto_pwhash_MEMLIMIT_INTERACTIVE;
    if (crypto_pwhash_str(out, p.constData(), static_cast<unsigned long long>(p.size()), ops, mem) != 0)
        return {};
    return QString::fromLatin1(out);
}

bool isHash(const QString &stored)
{
    return stored.startsWith(QLatin1String("$argon2id$"));
}

// The cost (and salt) are read from the stored string itself, so a hash
// verifies whatever cost it was made at.
bool verify(const QString &stored, const QString &plain)
{
    if (!ready() || !isHash(stored))
        return false;
    const QByteArray s = stored.toLatin1();
    const QByteArray p = plain.toUtf8();
    return crypto_pwhash_str_verify(s.constData(), p.constData(), static_cast<unsigned long long>(p.size())) == 0;
}

void useMinimumCostForTests()
{
    minimumCost.store(true);
}

} // namespace Password
