#pragma once

#include <QString>
#include <QVariant>

// The fixed Chinese forms in which dates and times are shown on every
// workstation, whatever its locale.
namespace Format {
QString date(const QDate &d);          // yyyy-M-d
QString time(const QTime &t);          // H:mm:ss
QString dateTime(const QDateTime &dt); // yyyy-M-d H:mm:ss
// A stored value as the user sees it: dates without a time part when the
// time is midnight.
QString display(const QVariant &v);
} // namespace Format
