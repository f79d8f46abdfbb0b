#include "analyses/data/analysisformat.h"

#include <QLocale>

#include <cmath>

namespace AnalysisFormat {

namespace {

// Plain decimal text with up to 15 significant digits and no exponent,
// trailing zeros dropped: what the general format gives for ordinary
// shares, and the same digits for the tiny and huge ones it would write
// as 1E-5 or 1E+20.
QString plainDecimal(double v)
{
    if (v == 0 || !std::isfinite(v))
        return QStringLiteral("0");
    const int intDigits = int(std::floor(std::log10(std::fabs(v)))) + 1;
    // Round to 15 significant digits first; the rounding can carry into
    // one more integer digit (99.99999999999999 becomes 100).
    const int decimals = std::max(0, 15 - intDigits);
    QString s = QString::number(v, 'f', std::min(decimals, 340));
    if (s.contains(QLatin1Char('.'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

} // namespace

std::optional<QString> share(const std::optional<Money> &part, const std::optional<Money> &total, int width)
{
    if (!part || !total || total->isZero())
        return std::nullopt;
    const double v = double(part->units()) * 100.0 / double(total->units());
    return plainDecimal(v).left(width);
}

QString number(double value)
{
    const double rounded = std::round(value * 1000.0) / 1000.0;
    QString s = QLocale(QLocale::English, QLocale::UnitedStates).toString(rounded, 'f', 3);
    while (s.endsWith(QLatin1Char('0')))
        s.chop(1);
    if (s.endsWith(QLatin1Char('.')))
        s.chop(1);
    if (s == QLatin1String("-0"))
        s = QStringLiteral("0");
    return s;
}

QString percent(double fraction)
{
    return QString::number(fraction * 100.0, 'f', 2) + QLatin1Char('%');
}

std::optional<int> year(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > 4)
        return std::nullopt;
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
    const int y = t.toInt();
    if (y < 1)
        return std::nullopt;
    return y;
}

} // namespace AnalysisFormat
