#include "analyses/data/timeanalyses.h"

#include "analyses/data/analysisformat.h"
#include "analyses/data/figurereader.h"
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

// Counts and sums of the four quarters of a year.
struct Quarters {
    qint64 count[4] = {};
    std::optional<Money> sum[4];

    qint64 all() const { return count[0] + count[1] + count[2] + count[3]; }
    // The year's sum: empty when no quarter summed anything, as a sum over
    // the whole year would be.
    std::optional<Money> total() const
    {
        std::optional<Money> t;
        for (const auto &s : sum)
            if (s)
                t = t.value_or(Money()) + *s;
        return t;
    }
};

// "(month + 2) / 3": the quarter of a creation date, 1 to 4.
QString quarterOf(const Dialect &d, const QString &column)
{
    return QStringLiteral("(%1 + 2) / 3").arg(d.month(column));
}

// The customers entered in each quarter of the year, in one pass.
std::optional<Quarters> customerQuarters(FigureReader &r, int year)
{
    const Time t = yearOf(r.db(), QStringLiteral("CreateDate"), year);
    const QString q = quarterOf(r.db().dialect(), QStringLiteral("CreateDate"));
    Quarters out;
    const bool ok = r.rows(QStringLiteral("SELECT %1, COUNT(CustID) FROM tblCustomers WHERE%2 GROUP BY %1").arg(q, t.condition),
                           t.values, [&](const QSqlQuery &row) {
                               const int i = row.value(0).toInt() - 1;
                               if (i >= 0 && i < 4)
                                   out.count[i] = row.value(1).toLongLong();
                           });
    if (!ok)
        return std::nullopt;
    return out;
}

// The contracts of a year in one pass: every one per quarter, and those of
// each direction with their sums. A contract of neither direction counts
// among the year's contracts only.
struct YearContracts {
    qint64 all = 0;
    qint64 allOf[4] = {};
    Quarters income, expense;
    const Quarters &of(Direction d) const { return d == Direction::Income ? income : expense; }
};

std::optional<YearContracts> contractQuarters(FigureReader &r, int year)
{
    const Time t = yearOf(r.db(), QStringLiteral("CreateDate"), year);
    const QString q = quarterOf(r.db().dialect(), QStringLiteral("CreateDate"));
    YearContracts out;
    const bool ok = r.rows(
        QStringLiteral("SELECT %1, InOrOut, COUNT(OperateID), SUM(RMB) FROM tblOperates WHERE%2 GROUP BY %1, InOrOut")
            .arg(q, t.condition),
        t.values, [&](const QSqlQuery &row) {
            const int i = row.value(0).toInt() - 1;
            if (i < 0 || i >= 4)
                return;
            const qint64 n = row.value(2).toLongLong();
            out.all += n;
            out.allOf[i] += n;
            const QString dir = row.value(1).toString();
            for (Direction d : {Direction::Income, Direction::Expense}) {
                if (dir != directionText(d))
                    continue;
                Quarters &qs = d == Direction::Income ? out.income : out.expense;
                qs.count[i] = n;
                qs.sum[i] = r.money(row.value(3));
            }
        });
    if (!ok)
        return std::nullopt;
    return out;
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
    const auto customers = customerQuarters(r, year);
    if (!customers)
        return res;
    r.add(y + QStringLiteral("年度新增客户数量： ") + QString::number(customers->all()) + QStringLiteral(" 个"));
    r.add(QStringLiteral("其中："));
    for (int q = 0; q < 4; ++q)
        r.add(QString::fromUtf8(kQuarterNames[q]) + QString::number(customers->count[q]) + QStringLiteral(" 个"));
    r.add(QString());
    const auto ops = contractQuarters(r, year);
    if (!ops)
        return res;
    r.add(y + QStringLiteral("年度新增业务数量： ") + QString::number(ops->all) + QStringLiteral(" 个"));
    for (Direction d : {Direction::Income, Direction::Expense}) {
        const Quarters &dir = ops->of(d);
        if (d == Direction::Expense)
            r.add(QString());
        const std::optional<Money> total = dir.total();
        r.add(inOut(d) + QStringLiteral("合同金额总计：") + amountText(total) + QStringLiteral(" 元"));
        r.add(QStringLiteral("其中："));
        for (int q = 0; q < 4; ++q) {
            r.add(QString::fromUtf8(kQuarterNames[q]) + QString::number(dir.count[q]) + QStringLiteral(" 个"));
            r.add(QStringLiteral("        合同金额合计：") + amountText(dir.sum[q]) + QStringLiteral(" 元"));
            if (const auto p = AnalysisFormat::share(dir.sum[q], total, 5))
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
    const Time ofQuarter = yearOf(db, QStringLiteral("CreateDate"), year, quarter);
    const auto customers =
        r.count(QStringLiteral("SELECT COUNT(CustID) AS sumIn FROM tblCustomers WHERE") + ofQuarter.condition,
                ofQuarter.values);
    if (!customers)
        return res;
    r.add(y + QStringLiteral("年度") + q + QStringLiteral("季度新增客户数量： ") + *customers + QStringLiteral(" 个"));
    r.add(QString());
    const auto ops = contractQuarters(r, year);
    if (!ops)
        return res;
    r.add(y + QStringLiteral("年度新增业务数量： ") + QString::number(ops->all) + QStringLiteral(" 个"));
    r.add(QString());
    for (Direction d : {Direction::Income, Direction::Expense}) {
        r.add(inOut(d) + QStringLiteral("合同金额总计：") + amountText(ops->of(d).total()) + QStringLiteral(" 元"));
        r.add(QString());
    }
    r.add(y + QStringLiteral("年度") + q + QStringLiteral("季度新增业务数量： ") + QString::number(ops->allOf[quarter - 1])
          + QStringLiteral(" 个"));
    r.add(QStringLiteral("其中："));
    for (Direction d : {Direction::Income, Direction::Expense}) {
        const Quarters &dir = ops->of(d);
        r.add(inOut(d) + QStringLiteral("合同金额合计：") + amountText(dir.sum[quarter - 1]) + QStringLiteral(" 元"));
        if (const auto p = AnalysisFormat::share(dir.sum[quarter - 1], dir.total(), 5))
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
