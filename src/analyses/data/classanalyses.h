#pragma once

#include "analyses/data/analysisresult.h"

#include <QDate>

class Database;

// How customers and contracts divide among the entries of one dictionary,
// as list lines and a pie in the entries' own colours, and the outstanding
// amount of every contract as bars.
namespace ClassAnalyses {

enum class Member {
    CustLevel,     // 客户级别分析: mode
    CustOrigin,    // 客户来源分析: mode
    CustState,     // 客户状态分析: period
    CustVocation,  // 客户类型分析: period
    OperateOrigin, // 业务来源分析: period
    OperateType,   // 业务类型分析: period
};

// The analyses chosen by the first drop-down of the mode members.
enum class Mode { Customers, Contracts, Amounts };

bool isPeriodMember(Member m);

// "刷新" of a mode member (客户级别, 客户来源); the direction chooses the
// contracts of the pie of "按合同金额分析".
AnalysisResult byMode(Database &db, Member m, Mode mode, Direction pie);
// "刷新" of a period member, the period's first and last day included. An
// empty date leaves that end of the period open.
AnalysisResult byPeriod(Database &db, Member m, const QDate &from, const QDate &to);
// "刷新" of 资金分配分析: one bar per contract of the direction that has
// money lines and a customer, the largest outstanding amount first; no
// more than maxBars of them when that is above 0.
AnalysisResult finance(Database &db, Direction d, int maxBars = 0);

} // namespace ClassAnalyses
