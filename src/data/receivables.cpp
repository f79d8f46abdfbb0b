#include "data/receivables.h"

#include "data/database.h"
#include "data/schema.h"

namespace Receivables {

Statement statement(const Database &db, bool payables, const QDate &from, const QDate &to)
{
    Statement s;
    // The money lines are summed once per contract before the join, so a
    // contract's own columns need no grouping and the sums read one index.
    s.sql = QStringLiteral(
                "SELECT tblOperates.OperateID, tblOperates.OperateTitle, tblOperates.CustID, tblCustomers.CustName, "
                "tblOperates.WriteDate, tblOperates.CurrID, tblOperates.CompactAmount, tblOperates.RMB, "
                "tblOperates.EndDate, COALESCE(lines.sumRMB, 0) AS sumRMB, "
                "(tblOperates.RMB - COALESCE(lines.sumRMB, 0)) AS %1 "
                "FROM tblOperates "
                "LEFT JOIN (SELECT OperateID, sum(RMB) AS sumRMB FROM tblOperateDetail GROUP BY OperateID) lines "
                "ON lines.OperateID = tblOperates.OperateID "
                "LEFT JOIN tblCustomers ON tblCustomers.CustId = tblOperates.CustID "
                "WHERE tblOperates.InOrOut = ?")
                .arg(payables ? QStringLiteral("Payment") : QStringLiteral("gathering"));
    s.values << (payables ? QStringLiteral("付款") : QStringLiteral("收款"));
    if (from.isValid() && to.isValid()) {
        const QDate first = std::min(from, to), last = std::max(from, to);
        const ColumnDef *end = Schema::table(QStringLiteral("tblOperates"))->column(QStringLiteral("EndDate"));
        s.sql += QStringLiteral(" AND tblOperates.EndDate >= ? AND tblOperates.EndDate < ?");
        s.values << db.toDb(end, first.startOfDay()) << db.toDb(end, last.addDays(1).startOfDay());
    }
    s.sql += QStringLiteral(" ORDER BY tblOperates.OperateID");
    return s;
}

} // namespace Receivables
