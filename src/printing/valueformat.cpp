#include "printing/valueformat.h"

#include "data/format.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cmath>

namespace ValueFormat {

namespace {

QString number(double v, const QString &pattern)
{
    // The pattern is prefix, digits (# 0 , .) and suffix; a % in the
    // suffix shows the value as a percentage.
    int start = 0;
    while (start < pattern.size() && !QStringLiteral("#0,.").contains(pattern[start]))
        ++start;
    int end = start;
    while (end < pattern.size() && QStringLiteral("#0,.").contains(pattern[end]))
        ++end;
    const QString prefix = pattern.left(start), body = pattern.mid(start, end - start), suffix = pattern.mid(end);
    if (suffix.contains(QLatin1Char('%')))
        v *= 100;
    const int dot = body.indexOf(QLatin1Char('.'));
    const QString intPart = dot < 0 ? body : body.left(dot);
    const QString fracPart = dot < 0 ? QString() : body.mid(dot + 1);
    const bool grouping = intPart.contains(QLatin1Char(','));
    const int minInt = int(intPart.count(QLatin1Char('0')));
    const int minFrac = int(fracPart.count(QLatin1Char('0')));
    const int maxFrac = minFrac + int(fracPart.count(QLatin1Char('#')));

    QString digits = QString::number(std::abs(v), 'f', maxFrac);
    QString ip = digits, fp;
    if (const int d = digits.indexOf(QLatin1Char('.')); d >= 0) {
        ip = digits.left(d);
        fp = digits.mid(d + 1);
    }
    while (fp.size() > minFrac && fp.endsWith(QLatin1Char('0')))
        fp.chop(1);
    if (ip == QLatin1String("0") && minInt == 0 && !fp.isEmpty())
        ip.clear();
    while (ip.size() < minInt)
        ip.prepend(QLatin1Char('0'));
    if (grouping)
        for (int i = int(ip.size()) - 3; i > 0; i -= 3)
            ip.insert(i, QLatin1Char(','));
    QString r = ip;
    if (!fp.isEmpty())
        r += QLatin1Char('.') + fp;
    const bool zero = !r.contains(QRegularExpression(QStringLiteral("[1-9]")));
    if (v < 0 && !zero)
        r.prepend(QLatin1Char('-'));
    return prefix + r + suffix;
}

// Dates come back as QDate/QDateTime from table columns, but as ISO text
// from some queries; both print alike.
QDateTime asDateTime(const QVariant &v, bool *ok)
{
    *ok = true;
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime();
    const QString s = v.toString().trimmed();
    QDateTime dt = QDateTime::fromString(s.left(19), Qt::ISODate);
    if (!dt.isValid())
        dt = QDateTime(QDate::fromString(s.left(10), Qt::ISODate), QTime(0, 0));
    *ok = dt.isValid();
    return dt;
}

} // namespace

bool isNumberPattern(const QString &pattern)
{
    return pattern.contains(QLatin1Char('0')) || pattern.contains(QLatin1Char('#'));
}

QString apply(const QVariant &value, const QString &pattern)
{
    if (!value.isValid() || value.isNull())
        return {};
    if (pattern.isEmpty())
        return Format::display(value);
    if (isNumberPattern(pattern)) {
        bool ok = false;
        const double d = value.toDouble(&ok);
        return ok ? number(d, pattern) : Format::display(value);
    }
    bool ok = false;
    const QDateTime dt = asDateTime(value, &ok);
    return ok ? dt.toString(pattern) : Format::display(value);
}

} // namespace ValueFormat
