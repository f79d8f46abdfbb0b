#include "legacy/jetvalue.h"

#include <cmath>
#include <cstring>

namespace JetValue {

QDateTime toDateTime(double days)
{
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        return {};
    double whole = std::trunc(days);
    qint64 seconds = std::llround(std::fabs(days - whole) * 86400.0);
    qint64 day = static_cast<qint64>(whole);
    if (seconds >= 86400) {
        seconds -= 86400;
        ++day;
    }
    const QDate date = QDate(1899, 12, 30).addDays(day);
    if (!date.isValid() || date.year() < 100 || date.year() > 9999)
        return {};
    // The stored clock time as it is: in local time a day on which the
    // clocks were put forward would lose an hour.
    return QDateTime(date, QTime(0, 0).addSecs(static_cast<int>(seconds)), Qt::UTC);
}

QString currencyText(qint64 v)
{
    const bool negative = v < 0;
    // Through unsigned so that the smallest value does not overflow.
    const quint64 magnitude = negative ? 0 - static_cast<quint64>(v) : static_cast<quint64>(v);
    QString s = QString::number(magnitude / 10000);
    quint64 fraction = magnitude % 10000;
    if (fraction != 0) {
        QString f = QStringLiteral("%1").arg(fraction, 4, 10, QLatin1Char('0'));
        while (f.endsWith(QLatin1Char('0')))
            f.chop(1);
        s += QLatin1Char('.') + f;
    }
    return negative ? QLatin1Char('-') + s : s;
}

double currencyDouble(qint64 v)
{
    return static_cast<double>(v) / 10000.0;
}

qint64 int64At(const unsigned char *p)
{
    quint64 v = 0;
    for (int i = 7; i >= 0; --i)
        v = (v << 8) | p[i];
    return static_cast<qint64>(v);
}

double doubleAt(const unsigned char *p)
{
    const quint64 bits = static_cast<quint64>(int64At(p));
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
}

} // namespace JetValue
