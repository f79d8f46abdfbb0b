#pragma once

#include "analyses/data/analysisresult.h"

#include <QDate>

class Database;

// The customers and contracts entered in a year, a quarter of a year or a
// period, the income and expense totals with their quarters and shares,
// and a pie of the contract amounts per customer of the direction chosen.
namespace TimeAnalyses {
// 按年度业务分析.
AnalysisResult year(Database &db, int year, Direction pie);
// 按季度业务分析, quarter 1 to 4.
AnalysisResult quarter(Database &db, int year, int quarter, Direction pie);
// 选择时间段业务分析: both days included; an empty date leaves that end open.
AnalysisResult period(Database &db, const QDate &from, const QDate &to, Direction pie);
} // namespace TimeAnalyses
