#pragma once

#include "data/money.h"

#include <QString>

#include <optional>

// The texts of the analyses' numbers, the same on every workstation.
namespace AnalysisFormat {
// A share of part in total as a percentage, at most width characters of
// its plain decimal text (15 significant digits, never an exponent, cut,
// not rounded): 2 of 3 at width 4 is "66.6", 1 of 1 "100", 11 of 200
// "5.5". No share when the total is zero or there is no part.
std::optional<QString> share(const std::optional<Money> &part, const std::optional<Money> &total, int width);
// "#,##0.###": grouped in thousands, up to three decimals, no trailing
// zeros: 1234567.5 is "1,234,567.5", 0.0004 is "0".
QString number(double value);
// "0.00%" of a fraction: 0.33333 is "33.33%".
QString percent(double fraction);
// A year typed in the year and quarter dialogs: a whole number from 1 to
// 9999, blanks around it allowed; anything else is no year.
std::optional<int> year(const QString &text);
} // namespace AnalysisFormat
