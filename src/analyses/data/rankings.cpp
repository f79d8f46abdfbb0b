#include "analyses/data/rankings.h"

#include "analyses/data/figurereader.h"
#include "data/database.h"
#include "data/format.h"

#include <QSqlQuery>

namespace Rankings {

namespace {

QString dayText(const QDate &d) { return d.isValid() ? Format::date(d) : QString(); }

// A direction's total and largest contract, overall or in the period: the
// sum of renminbi, the maximum of the column asked for.
bool totalAndMax(FigureReader &r, Direction d, const QString &maxColumn, const FigureReader::Period &p)
{
    std::optional<Money> sum, max;
    const bool ok = r.rows(QStringLiteral("SELECT SUM(RMB), MAX(%1) FROM tblOperates WHERE InOrOut = ?").arg(maxColumn)
                               + p.condition,
                           QVariantList{directionText(d)} + p.values, [&](const QSqlQuery &q) {
                               sum = r.money(q.value(0));
                               max = r.money(q.value(1));
                           });
    if (!ok)
        return false;
    r.add((d == Direction::Income ? QStringLiteral("收入合同金额总计：") : QStringLiteral("支出合同金额总计："))
          + amountText(sum) + QStringLiteral(" 元"));
    r.add(QString());
    r.add(QStringLiteral("    最高合同金额：") + amountText(max) + QStringLiteral(" 元"));
    r.add(QString());
    return true;
}

} // namespace

AnalysisResult run(Database &db, Kind kind, const QDate &from, const QDate &to, Direction d, int maxBars)
{
    AnalysisResult res;
    res.chart = AnalysisResult::Chart::Bars;
    FigureReader r(db, res);
    const QString d1 = dayText(from), d2 = dayText(to);
    const FigureReader::Period period = r.period(QStringLiteral("CreateDate"), from, to);

    if (kind == Kind::Staff) {
        const auto n = r.count(QStringLiteral("SELECT COUNT(OperaterID) AS sumIn FROM tblOperaters"));
        if (!n)
            return res;
        r.add(QStringLiteral("业务人员数量总计： ") + *n + QStringLiteral(" 人次"));
        r.add(QString());
    }
    if (kind != Kind::Contracts) {
        const auto n = r.count(QStringLiteral("SELECT COUNT(CustID) AS sumIn FROM tblCustomers"));
        if (!n)
            return res;
        r.add(QStringLiteral("客户数量总计： ") + *n + QStringLiteral(" 个"));
        r.add(QString());
    }
    const QString countOps = QStringLiteral("SELECT COUNT(OperateID) AS sumIn FROM tblOperates WHERE 1 = 1");
    const auto all = r.count(countOps);
    if (!all)
        return res;
    r.add(QStringLiteral("业务数量总计： ") + *all + QStringLiteral(" 个"));
    r.add(QString());
    // The contract ranking's overall maxima are contract amounts in their
    // own currency; every other maximum is in renminbi.
    const QString overallMax = kind == Kind::Contracts ? QStringLiteral("CompactAmount") : QStringLiteral("RMB");
    for (Direction dir : {Direction::Income, Direction::Expense})
        if (!totalAndMax(r, dir, overallMax, {}))
            return res;
    r.add(QStringLiteral("其中："));
    r.add(d1 + QStringLiteral(" 至"));
    r.add(d2 + QStringLiteral(" 期间："));
    const auto inPeriod = r.count(countOps + period.condition, period.values);
    if (!inPeriod)
        return res;
    r.add(QStringLiteral("业务数量总计：") + *inPeriod + QStringLiteral(" 个"));
    r.add(QString());
    for (Direction dir : {Direction::Income, Direction::Expense})
        if (!totalAndMax(r, dir, QStringLiteral("RMB"), period))
            return res;

    const FigureReader::Period chart = r.period(QStringLiteral("o.CreateDate"), from, to);
    const Dialect &dialect = db.dialect();
    QString sql;
    Direction bars = d;
    switch (kind) {
    case Kind::Contracts:
        sql = QStringLiteral("SELECT o.OperateTitle, o.RMB FROM tblOperates o INNER JOIN tblCustomers c "
                             "ON o.CustID = c.CustID WHERE o.InOrOut = ?%1 ORDER BY %2, o.OperateID")
                  .arg(chart.condition, dialect.descendingNullsLast(QStringLiteral("o.RMB")));
        res.title = d1 + QStringLiteral("至") + d2
            + (d == Direction::Income ? QStringLiteral("期间收入业务排行榜") : QStringLiteral("期间支出业务排行榜"));
        break;
    case Kind::Customers:
        sql = QStringLiteral("SELECT c.CustName, SUM(o.RMB) AS sumIn FROM tblOperates o INNER JOIN tblCustomers c "
                             "ON o.CustID = c.CustID WHERE o.InOrOut = ?%1 GROUP BY o.CustID, c.CustName "
                             "ORDER BY %2, o.CustID")
                  .arg(chart.condition, dialect.descendingNullsLast(QStringLiteral("SUM(o.RMB)")));
        res.title = d1 + QStringLiteral("至") + d2
            + (d == Direction::Income ? QStringLiteral("期间客户收入排行榜") : QStringLiteral("期间客户支出排行榜"));
        break;
    case Kind::Staff:
        bars = Direction::Income;
        sql = QStringLiteral("SELECT s.Name, SUM(o.RMB) AS sumIn FROM tblOperates o INNER JOIN tblOperaters s "
                             "ON o.OperaterID = s.OperaterID WHERE o.InOrOut = ?%1 GROUP BY o.OperaterID, s.Name "
                             "ORDER BY %2, o.OperaterID")
                  .arg(chart.condition, dialect.descendingNullsLast(QStringLiteral("SUM(o.RMB)")));
        res.title = d1 + QStringLiteral("至") + d2 + QStringLiteral("期间业务人员绩效排行榜");
        break;
    }
    QVariantList values = QVariantList{directionText(bars)} + chart.values;
    if (maxBars > 0) {
        sql += QStringLiteral(" LIMIT ?");
        values << maxBars;
    }
    r.rows(sql, values, [&](const QSqlQuery &q) {
        const std::optional<Money> m = r.money(q.value(1));
        res.points.push_back({q.value(0).toString(), m ? m->toDouble() : 0, !m, {}});
    });
    return res;
}

} // namespace Rankings
