#include "analyses/timeanalyses.h"

#include "analyses/analysisformat.h"
#include "analyses/figurereader.h"
#include "data/database.h"
#include "data/format.h"

#include <QSqlQuery>

namespace TimeAnalyses {

namespace {

const char *const kQuarterNames[] = {"    第一季度：", "    第二季度：", "    第三季度：", "    第四季度："};

// The year and, from 1 to 4, a quarter of it, as a condition on a
// creation date with its bound values.
struct Time {
    QString condition;
    QVariantList values;
};

Time yearOf(const Database &db, const QString &column, int year, int quarter = 0)
{
    const Dialect &d = db.dialect();
    Time t{QStringLiteral(" %1 = ?").arg(d.year(column)), {year}};
    if (quarter > 0) {
        const QString month = d.month(column);
        t.condition += QStringLiteral(" AND %1 >= ? AND %1 <= ?").arg(month);
        t.values << quarter * 3 - 2 << quarter * 3;
    }
    return t;
}

// Contracts of one direction in the time: how many, and their sum.
struct Contracts {
    QString count;
    std::optional<Money> sum;
};

std::optional<Contracts> contracts(FigureReader &r, const Time &t, Direction d)
{
    Contracts c;
    const bool ok = r.rows(QStringLiteral("SELECT COUNT(OperateID), SUM(RMB) FROM tblOperates WHERE") + t.condition
                               + QStringLiteral(" AND InOrOut = ?"),
                           t.values + QVariantList{directionText(d)}, [&](const QSqlQuery &q) {
                               c.count = QString::number(q.value(0).toLongLong());
                               c.sum = r.money(q.value(1));
                           });
    if (!ok)
        return std::nullopt;
    return c;
}

// The pie: the contracts of the direction in the time, summed per customer.
void pie(FigureReader &r, AnalysisResult &res, const QString &condition, const QVariantList &values, Direction d)
{
    r.rows(QStringLiteral("SELECT o.CustID, c.CustName, SUM(o.RMB) AS sumIn FROM tblOperates o "
                          "INNER JOIN tblCustomers c ON o.CustID = c.CustID WHERE")
               + condition + QStringLiteral(" AND o.InOrOut = ? GROUP BY o.CustID, c.CustName ORDER BY o.CustID"),
           values + QVariantList{directionText(d)}, [&](const QSqlQuery &q) {
               const std::optional<Money> m = r.money(q.value(2));
               res.points.push_back({q.value(1).toString(), m ? m->toDouble() : 0, !m, {}});
           });
}

QString inOut(Direction d) { return d == Direction::Income ? QStringLiteral("收入") : QStringLiteral("支出"); }

QString dayText(const QDate &d) { return d.isValid() ? Format::date(d) : QString(); }

} // namespace

AnalysisResult year(Database &db, int year, Direction pieDirection)
{
    AnalysisResult res;
    FigureReader r(db, res);
    const QString y = QString::number(year);
    const QString customers = QStringLiteral("SELECT COUNT(CustID) AS sumIn FROM tblCustomers WHERE");
    const Time whole = yearOf(db, QStringLiteral("CreateDate"), year);
    const auto n = r.count(customers + whole.condition, whole.values);
    if (!n)
        return res;
    r.add(y + QStringLiteral("年度新增客户数量： ") + *n + QStringLiteral(" 个"));
    r.add(QStringLiteral("其中："));
    for (int q = 1; q <= 4; ++q) {
        const Time t = yearOf(db, QStringLiteral("CreateDate"), year, q);
        const auto c = r.count(customers + t.condition, t.values);
        if (!c)
            return res;
        r.add(QString::fromUtf8(kQuarterNames[q - 1]) + *c + QStringLiteral(" 个"));
    }
    r.add(QString());
    const auto ops = r.count(QStringLiteral("SELECT COUNT(OperateID) AS sumIn FROM tblOperates WHERE") + whole.condition,
                             whole.values);
    if (!ops)
        return res;
    r.add(y + QStringLiteral("年度新增业务数量： ") + *ops + QStringLiteral(" 个"));
    for (Direction d : {Direction::Income, Direction::Expense}) {
        if (d == Direction::Expense)
            r.add(QString());
        const auto total = r.amount(QStringLiteral("SELECT SUM(RMB) AS sumIn FROM tblOperates WHERE") + whole.condition
                                        + QStringLiteral(" AND InOrOut = ?"),
                                    whole.values + QVariantList{directionText(d)});
        if (r.failed())
            return res;
        r.add(inOut(d) + QStringLiteral("合同金额总计：") + amountText(total) + QStringLiteral(" 元"));
        r.add(QStringLiteral("其中："));
        for (int q = 1; q <= 4; ++q) {
            const auto c = contracts(r, yearOf(db, QStringLiteral("CreateDate"), year, q), d);
            if (!c)
                return res;
            r.add(QString::fromUtf8(kQuarterNames[q - 1]) + c->count + QStringLiteral(" 个"));
            r.add(QStringLiteral("        合同金额合计：") + amountText(c->sum) + QStringLiteral(" 元"));
            if (const auto p = AnalysisFormat::share(c->sum, total, 5))
                r.add(QStringLiteral("        占总金额比率：") + *p + QStringLiteral("%"));
        }
    }
    r.add(QString());
    const Time chart = yearOf(db, QStringLiteral("o.CreateDate"), year);
    pie(r, res, chart.condition, chart.values, pieDirection);
    res.title = y + QStringLiteral("年度") + inOut(pieDirection) + QStringLiteral("业务分析");
    return res;
}

AnalysisResult quarter(Database &db, int year, int quarter, Direction pieDirection)
{
    AnalysisResult res;
    FigureReader r(db, res);
    const QString y = QString::number(year), q = QString::number(quarter);
    const Time wholeYear = yearOf(db, QStringLiteral("CreateDate"), year);
    const Time ofQuarter = yearOf(db, QStringLiteral("CreateDate"), year, quarter);
    const auto customers =
        r.count(QStringLiteral("SELECT COUNT(CustID) AS sumIn FROM tblCustomers WHERE") + ofQuarter.condition,
                ofQuarter.values);
    if (!customers)
        return res;
    r.add(y + QStringLiteral("年度") + q + QStringLiteral("季度新增客户数量： ") + *customers + QStringLiteral(" 个"));
    r.add(QString());
    const QString countOps = QStringLiteral("SELECT COUNT(OperateID) AS sumIn FROM tblOperates WHERE");
    const auto ops = r.count(countOps + wholeYear.condition, wholeYear.values);
    if (!ops)
        return res;
    r.add(y + QStringLiteral("年度新增业务数量： ") + *ops + QStringLiteral(" 个"));
    r.add(QString());
    std::optional<Money> totals[2];
    for (Direction d : {Direction::Income, Direction::Expense}) {
        totals[int(d)] = r.amount(QStringLiteral("SELECT SUM(RMB) AS sumIn FROM tblOperates WHERE") + wholeYear.condition
                                      + QStringLiteral(" AND InOrOut = ?"),
                                  wholeYear.values + QVariantList{directionText(d)});
        if (r.failed())
            return res;
        r.add(inOut(d) + QStringLiteral("合同金额总计：") + amountText(totals[int(d)]) + QStringLiteral(" 元"));
        r.add(QString());
    }
    const auto quarterOps = r.count(countOps + ofQuarter.condition, ofQuarter.values);
    if (!quarterOps)
        return res;
    r.add(y + QStringLiteral("年度") + q + QStringLiteral("季度新增业务数量： ") + *quarterOps + QStringLiteral(" 个"));
    r.add(QStringLiteral("其中："));
    for (Direction d : {Direction::Income, Direction::Expense}) {
        const auto sum = r.amount(QStringLiteral("SELECT SUM(RMB) AS sumIn FROM tblOperates WHERE") + ofQuarter.condition
                                      + QStringLiteral(" AND InOrOut = ?"),
                                  ofQuarter.values + QVariantList{directionText(d)});
        if (r.failed())
            return res;
        r.add(inOut(d) + QStringLiteral("合同金额合计：") + amountText(sum) + QStringLiteral(" 元"));
        if (const auto p = AnalysisFormat::share(sum, totals[int(d)], 5))
            r.add(QStringLiteral("占年总") + inOut(d) + QStringLiteral("金额比率：") + *p + QStringLiteral("%"));
        r.add(QString());
    }
    const Time chart = yearOf(db, QStringLiteral("o.CreateDate"), year, quarter);
    pie(r, res, chart.condition, chart.values, pieDirection);
    res.title = y + QStringLiteral("年度第") + q + QStringLiteral("季度") + inOut(pieDirection) + QStringLiteral("业务分析");
    return res;
}

AnalysisResult period(Database &db, const QDate &from, const QDate &to, Direction pieDirection)
{
    AnalysisResult res;
    FigureReader r(db, res);
    const QString d1 = dayText(from), d2 = dayText(to);
    const FigureReader::Period p = r.period(QStringLiteral("CreateDate"), from, to);
    const auto customers =
        r.count(QStringLiteral("SELECT COUNT(CustID) AS sumIn FROM tblCustomers WHERE 1 = 1") + p.condition, p.values);
    if (!customers)
        return res;
    r.add(d1 + QStringLiteral(" 至 ") + d2 + QStringLiteral(" 间："));
    r.add(QStringLiteral("新增客户数量： ") + *customers + QStringLiteral(" 个"));
    r.add(QString());
    const auto ops =
        r.count(QStringLiteral("SELECT COUNT(OperateID) AS sumIn FROM tblOperates WHERE 1 = 1") + p.condition, p.values);
    if (!ops)
        return res;
    r.add(QStringLiteral("新增业务数量： ") + *ops + QStringLiteral(" 个"));
    r.add(QStringLiteral("其中："));
    for (Direction d : {Direction::Income, Direction::Expense}) {
        const auto sum = r.amount(QStringLiteral("SELECT SUM(RMB) AS sumIn FROM tblOperates WHERE InOrOut = ?") + p.condition,
                                  QVariantList{directionText(d)} + p.values);
        if (r.failed())
            return res;
        r.add(inOut(d) + QStringLiteral("合同金额合计：") + amountText(sum) + QStringLiteral(" 元"));
        r.add(QString());
    }
    const FigureReader::Period chart = r.period(QStringLiteral("o.CreateDate"), from, to);
    pie(r, res, QStringLiteral(" 1 = 1") + chart.condition, chart.values, pieDirection);
    res.title = d1 + QStringLiteral("至") + d2 + inOut(pieDirection) + QStringLiteral("业务分析");
    return res;
}

} // namespace TimeAnalyses
