#include "data/format.h"

#include "data/money.h"

#include <QDateTime>

namespace Format {

QString date(const QDate &d) { return d.isValid() ? d.toString(QStringLiteral("yyyy-M-d")) : QString(); }
QString time(const QTime &t) { return t.isValid() ? t.toString(QStringLiteral("H:mm:ss")) : QString(); }
QString dateTime(const QDateTime &dt)
{
    return dt.isValid() ? date(dt.date()) + QLatin1Char(' ') + time(dt.time()) : QString();
}

QString display(const QVariant &v)
{
    if (!v.isValid() || v.isNull())
        return {};
    switch (v.typeId()) {
    case QMetaType::QDate:
        return date(v.toDate());
    case QMetaType::QDateTime: {
        const QDateTime dt = v.toDateTime();
        return dt.time() == QTime(0, 0) ? date(dt.date()) : dateTime(dt);
    }
    case QMetaType::QTime:
        return time(v.toTime());
    case QMetaType::Double:
        return QString::number(v.toDouble(), 'g', 15);
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    default:
        if (v.userType() == qMetaTypeId<Money>())
            return v.value<Money>().toString();
        return v.toString();
    }
}

} // namespace Format
