#include "data/money.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

__extension__ typedef __int128 Wide; // products of two amounts and a rate fit in 128 bits

// Keeps the values far from the edge of qint64 so that sums of many rows
// stay exact: about 9e11 of any currency.
constexpr qint64 kMaxUnits = std::numeric_limits<qint64>::max() / 1000;

// A decimal number as mantissa × 10^-places.
struct Decimal
{
    Wide mantissa = 0;
    int places = 0;
};

std::optional<Decimal> readDecimal(QStringView text, bool allowGroups)
{
    QStringView s = text.trimmed();
    Decimal d;
    bool negative = false;
    if (!s.isEmpty() && (s.front() == QLatin1Char('-') || s.front() == QLatin1Char('+'))) {
        negative = s.front() == QLatin1Char('-');
        s = s.mid(1);
    }
    bool digits = false, point = false;
    for (QChar c : s) {
        if (c.isDigit() && c.unicode() < 128) {
            if (d.mantissa > (Wide(1) << 100))
                return std::nullopt;
            d.mantissa = d.mantissa * 10 + (c.unicode() - '0');
            if (point)
                ++d.places;
            digits = true;
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else if (c == QLatin1Char(',') && allowGroups && !point) {
            continue;
        } else {
            return std::nullopt;
        }
    }
    if (!digits || d.places > 30)
        return std::nullopt;
    if (negative)
        d.mantissa = -d.mantissa;
    return d;
}

Wide pow10(int n)
{
    Wide p = 1;
    while (n-- > 0)
        p *= 10;
    return p;
}

// value / 10^shift, rounded half away from zero.
Wide shiftRounded(Wide value, int shift)
{
    if (shift <= 0)
        return value * pow10(-shift);
    const Wide p = pow10(shift);
    const Wide q = value / p, r = value % p;
    if (2 * (r < 0 ? -r : r) >= p)
        return value < 0 ? q - 1 : q + 1;
    return q;
}

std::optional<Money> fromWide(Wide units)
{
    if (units > kMaxUnits || units < -kMaxUnits)
        return std::nullopt;
    return Money::fromUnits(static_cast<qint64>(units));
}

std::optional<Decimal> shortest(double d)
{
    if (!std::isfinite(d))
        return std::nullopt;
    return readDecimal(QString::number(d, 'f', QLocale::FloatingPointShortest), false);
}

bool mulOk(Wide a, Wide b, Wide *out) { return !__builtin_mul_overflow(a, b, out); }

const bool registered = [] {
    QMetaType::registerConverter<Money, double>(&Money::toDouble);
    QMetaType::registerConverter<Money, QString>(&Money::toString);
    return true;
}();

} // namespace

std::optional<Money> Money::parse(QStringView text)
{
    const auto d = readDecimal(text, true);
    if (!d)
        return std::nullopt;
    return fromWide(shiftRounded(d->mantissa, d->places - 4));
}

std::optional<Money> Money::fromDouble(double v)
{
    const auto d = shortest(v);
    if (!d)
        return std::nullopt;
    return fromWide(shiftRounded(d->mantissa, d->places - 4));
}

std::optional<Money> Money::fromVariant(const QVariant &v)
{
    (void)registered;
    if (!v.isValid() || v.isNull())
        return std::nullopt;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return fromWide(Wide(v.toLongLong()) * kScale);
    case QMetaType::Double:
    case QMetaType::Float:
        return fromDouble(v.toDouble());
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return parse(v.toString());
    default:
        if (v.canConvert<Money>() && v.userType() == qMetaTypeId<Money>())
            return v.value<Money>();
        return std::nullopt;
    }
}

QString Money::toString() const
{
    const bool negative = m_units < 0;
    const quint64 a = negative ? quint64(-(m_units + 1)) + 1 : quint64(m_units);
    QString s = QString::number(a / kScale);
    quint64 frac = a % kScale;
    if (frac) {
        QString f = QString::number(frac).rightJustified(4, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += QLatin1Char('.') + f;
    }
    return negative ? QLatin1Char('-') + s : s;
}

QString Money::toGrouped() const
{
    const bool negative = m_units < 0;
    const quint64 a = negative ? quint64(-(m_units + 1)) + 1 : quint64(m_units);
    const QString whole = QString::number(a / kScale);
    QString grouped;
    for (int i = 0; i < whole.size(); ++i) {
        if (i > 0 && (whole.size() - i) % 3 == 0)
            grouped += QLatin1Char(',');
        grouped += whole[i];
    }
    QString f = QString::number(a % kScale).rightJustified(4, QLatin1Char('0'));
    while (f.size() > 2 && f.endsWith(QLatin1Char('0')))
        f.chop(1);
    grouped += QLatin1Char('.') + f;
    return negative ? QLatin1Char('-') + grouped : grouped;
}

QString Money::toCurrencyText() const
{
    const QString g = toGrouped();
    return g.startsWith(QLatin1Char('-')) ? QStringLiteral("-¥") + g.mid(1) : QStringLiteral("¥") + g;
}

std::optional<Money> Money::times(const Money &factor) const
{
    Wide p = 0;
    if (!mulOk(Wide(m_units), Wide(factor.m_units), &p))
        return std::nullopt;
    return fromWide(shiftRounded(p, 4));
}

std::optional<Money> Money::times(double factor) const
{
    const auto f = shortest(factor);
    if (!f)
        return std::nullopt;
    Wide p = 0;
    if (!mulOk(Wide(m_units), f->mantissa, &p))
        return std::nullopt;
    return fromWide(shiftRounded(p, f->places));
}

std::optional<Money> Money::times(const Money &a, double factor) const
{
    const auto f = shortest(factor);
    if (!f)
        return std::nullopt;
    Wide p = 0;
    if (!mulOk(Wide(m_units), Wide(a.m_units), &p) || !mulOk(p, f->mantissa, &p)) {
        // Beyond 128 bits only for absurd amounts: round in two steps.
        const auto step = times(a);
        return step ? step->times(factor) : std::nullopt;
    }
    return fromWide(shiftRounded(p, 4 + f->places));
}
