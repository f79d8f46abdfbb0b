#include "workers/data/entrychecks.h"

#include <algorithm>

namespace {
bool allDigits(QStringView s)
{
    return std::all_of(s.begin(), s.end(), [](QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); });
}
} // namespace

bool EntryChecks::isIdentityNumber(const QString &text)
{
    if (text.size() == 15)
        return allDigits(text);
    if (text.size() != 18 || !allDigits(QStringView(text).left(17)))
        return false;
    static const int weights[17] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3, 7, 9, 10, 5, 8, 4, 2};
    int sum = 0;
    for (int i = 0; i < 17; ++i)
        sum += (text.at(i).unicode() - '0') * weights[i];
    static const char checks[] = "10X98765432";
    return text.at(17).toUpper() == QLatin1Char(checks[sum % 11]);
}

bool EntryChecks::isMobile(const QString &text)
{
    return text.size() == 11 && text.startsWith(QLatin1Char('1')) && allDigits(text);
}
