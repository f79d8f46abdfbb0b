#pragma once

#include "analyses/data/analysisresult.h"

#include <QDate>

class Database;

// The contracts, customers and staff of a period ordered by contract
// amount, largest first, with the overall and the period's totals and
// maxima.
namespace Rankings {
enum class Kind {
    Contracts, // 业务排行榜: one bar per contract of the direction
    Customers, // 客户排行榜: one bar per customer, its contracts summed
    Staff,     // 业务员绩效排行榜: one bar per staff member, income only
};
// Both days included; an empty date leaves that end open. The staff
// ranking ignores the direction. No more than maxBars bars when that is
// above 0.
AnalysisResult run(Database &db, Kind kind, const QDate &from, const QDate &to, Direction d, int maxBars = 0);
} // namespace Rankings
