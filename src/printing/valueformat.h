#pragma once

#include <QString>
#include <QVariant>

// Formats a value the way a report field asks: number patterns such as
// "#,##0.###", "0.00" and "0.00%", or date patterns such as "yyyy-M-d".
// Without a pattern the value is shown as everywhere else in the system.
namespace ValueFormat {
QString apply(const QVariant &value, const QString &pattern);
bool isNumberPattern(const QString &pattern);
} // namespace ValueFormat
