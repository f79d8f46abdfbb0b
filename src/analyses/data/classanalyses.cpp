#include "analyses/data/classanalyses.h"

#include "analyses/data/analysisformat.h"
#include "analyses/data/figurereader.h"
#include "data/database.h"
#include "data/format.h"

#include <QSqlQuery>

namespace ClassAnalyses {

namespace {

struct MemberDef {
    QString dict, code, name, color; // the dictionary
    QString fact, column, key;       // the table that refers to it, by which column, what it counts
    QString title;                   // the period members' title after the period
};

const MemberDef &def(Member m)
{
    static const MemberDef defs[] = {
        {"tblCustLevel", "LevelID", "LevelName", "LevelColor", "tblCustomers", "LevelID", "CustID", {}},
        {"tblCustOrigin", "OriginID", "OriginName", "OriginColor", "tblCustomers", "OriginID", "CustID", {}},
        {"tblCustState", "StateID", "StateName", "StateColor", "tblCustomers", "StateID", "CustID", "期间客户状态分析"},
        {"tblVocation", "VocationID", "VocationName", "VocationColor", "tblCustomers", "VocationID", "CustID",
         "期间客户类型分析"},
        {"tblOperateOrigin", "OriginID", "OriginName", "OriginColor", "tblOperates", "OriginID", "OperateID",
         "期间业务来源分析"},
        {"tblOperateType", "TypeID", "TypeName", "TypeColor", "tblOperates", "TypeID", "OperateID",
         "期间业务类型分析"},
    };
    return defs[int(m)];
}

// Rows of "figure, code, name, colour": each becomes a list line and a
// slice in the entry's colour.
struct Entry {
    QString name;
    QVariant figure;
    QVariant color;
};

QVector<Entry> entries(FigureReader &r, const QString &sql, const QVariantList &values)
{
    QVector<Entry> out;
    r.rows(sql, values, [&out](const QSqlQuery &q) { out.push_back({q.value(2).toString(), q.value(0), q.value(3)}); });
    return out;
}

// Every entry of the dictionary with what refers to it, an entry that
// nothing refers to with 0. With a period only the entries that something
// of the period refers to. The facts are counted once per code before the
// join, so the dictionary's few rows meet a few grouped rows.
QString perEntryCount(const MemberDef &d, const QString &periodCondition)
{
    return QStringLiteral("SELECT COALESCE(g.sumIn, 0) AS sumIn, e.%2, e.%3, e.%4 FROM %1 e %8 JOIN "
                          "(SELECT %6, COUNT(%7) AS sumIn FROM %5 WHERE 1 = 1%9 GROUP BY %6) g "
                          "ON g.%6 = e.%2 ORDER BY e.%2")
        .arg(d.dict, d.code, d.name, d.color, d.fact, d.column, d.key,
             periodCondition.isEmpty() ? QStringLiteral("LEFT") : QStringLiteral("INNER"), periodCondition);
}

QString countLine(const Entry &e) { return QStringLiteral("  ") + e.name + QStringLiteral("：") + e.figure.toString() + QStringLiteral(" 个"); }

void addSlices(AnalysisResult &res, const QVector<Entry> &rows, FigureReader &r, bool amounts)
{
    for (const Entry &e : rows) {
        ChartPoint p;
        p.label = e.name;
        p.colorId = e.color;
        if (amounts) {
            const std::optional<Money> m = r.money(e.figure);
            p.empty = !m;
            p.value = m ? m->toDouble() : 0;
        } else {
            p.value = double(e.figure.toLongLong());
        }
        res.points.push_back(p);
    }
}

// Contracts of one direction per entry of a customer dictionary, through
// the contract's customer.
QString contractsPerCustomerEntry(const MemberDef &d, const QString &figure, bool oneDirection)
{
    return QStringLiteral("SELECT %1 AS sumIn, c.%3, e.%4, e.%5 FROM (tblOperates o INNER JOIN tblCustomers c "
                          "ON o.CustID = c.CustID) INNER JOIN %2 e ON c.%3 = e.%6%7 "
                          "GROUP BY c.%3, e.%4, e.%5 ORDER BY c.%3")
        .arg(figure, d.dict, d.column, d.name, d.color, d.code,
             oneDirection ? QStringLiteral(" WHERE o.InOrOut = ?") : QString());
}

QString dayText(const QDate &d) { return d.isValid() ? Format::date(d) : QString(); }

} // namespace

bool isPeriodMember(Member m) { return m != Member::CustLevel && m != Member::CustOrigin; }

AnalysisResult byMode(Database &db, Member m, Mode mode, Direction pie)
{
    AnalysisResult res;
    FigureReader r(db, res);
    const MemberDef &d = def(m);
    const QString customers = QStringLiteral("SELECT COUNT(CustID) AS sumIn FROM tblCustomers");

    if (mode == Mode::Customers) {
        const auto n = r.count(customers);
        if (!n)
            return res;
        r.add(QStringLiteral("客户数量总计： ") + *n + QStringLiteral(" 个"));
        r.add(QString());
        r.add(QStringLiteral("其中："));
        const QVector<Entry> rows = entries(r, perEntryCount(d, {}), {});
        for (const Entry &e : rows)
            r.add(countLine(e));
        res.title = QStringLiteral("按客户数量分析");
        addSlices(res, rows, r, false);
        return res;
    }

    if (mode == Mode::Contracts) {
        const auto n = r.count(QStringLiteral("SELECT COUNT(CustID) AS sumIn FROM tblOperates"));
        if (!n)
            return res;
        r.add(QStringLiteral("业务数量总计：") + *n + QStringLiteral(" 个"));
        r.add(QString());
        r.add(QStringLiteral("其中："));
        // Only the entries that have contracts.
        const QVector<Entry> rows = entries(r, contractsPerCustomerEntry(d, QStringLiteral("COUNT(o.CustID)"), false), {});
        for (const Entry &e : rows)
            r.add(countLine(e));
        res.title = QStringLiteral("按业务数量分析");
        addSlices(res, rows, r, false);
        return res;
    }

    // 按合同金额分析: the customers, then per direction its total and each
    // entry's sum with its share of the total.
    const bool origin = m == Member::CustOrigin;
    const auto n = r.count(customers);
    if (!n)
        return res;
    r.add(QStringLiteral("客户数量总计： ") + *n + QStringLiteral(" 个"));
    r.add(QString());
    if (origin)
        r.add(QStringLiteral("其中："));
    QVector<Entry> pieRows;
    for (Direction dir : {Direction::Income, Direction::Expense}) {
        const auto total = r.amount(QStringLiteral("SELECT SUM(RMB) AS sumIn FROM tblOperates WHERE InOrOut = ?"),
                                    {directionText(dir)});
        if (r.failed())
            return res;
        r.add((dir == Direction::Income ? QStringLiteral("收入合同金额总计：") : QStringLiteral("支出合同金额总计："))
              + amountText(total) + QStringLiteral(" 元"));
        r.add(QString());
        if (!origin)
            r.add(QStringLiteral("其中："));
        const QVector<Entry> rows =
            entries(r, contractsPerCustomerEntry(d, QStringLiteral("SUM(o.RMB)"), true), {directionText(dir)});
        if (r.failed())
            return res;
        for (const Entry &e : rows) {
            const std::optional<Money> sum = r.money(e.figure);
            r.add(QStringLiteral("  ") + e.name + QStringLiteral("：") + amountText(sum) + QStringLiteral(" 元"));
            if (const auto p = AnalysisFormat::share(sum, total, 4))
                r.add(QStringLiteral("    所占比率：") + *p + QStringLiteral("%"));
            r.add(QString());
        }
        if (dir == pie)
            pieRows = rows;
    }
    res.title = pie == Direction::Income ? QStringLiteral("按收入合同金额分析") : QStringLiteral("按支出合同金额分析");
    addSlices(res, pieRows, r, true);
    return res;
}

AnalysisResult byPeriod(Database &db, Member m, const QDate &from, const QDate &to)
{
    AnalysisResult res;
    FigureReader r(db, res);
    const MemberDef &d = def(m);
    const QString d1 = dayText(from), d2 = dayText(to);
    const FigureReader::Period period = r.period(QStringLiteral("CreateDate"), from, to);
    const auto addPeriodHeading = [&] {
        r.add(QString());
        r.add(d1 + QStringLiteral(" 至"));
        r.add(d2 + QStringLiteral(" 期间："));
    };

    if (d.fact == QLatin1String("tblCustomers")) {
        const auto all = r.count(QStringLiteral("SELECT COUNT(CustID) AS sumIn FROM tblCustomers"));
        if (!all)
            return res;
        r.add(QStringLiteral("客户数量总计： ") + *all + QStringLiteral(" 个"));
        r.add(QString());
        r.add(QStringLiteral("其中："));
        for (const Entry &e : entries(r, perEntryCount(d, {}), {}))
            r.add(countLine(e));
        const auto inPeriod =
            r.count(QStringLiteral("SELECT COUNT(CustID) AS sumIn FROM tblCustomers WHERE 1 = 1") + period.condition,
                    period.values);
        if (!inPeriod)
            return res;
        addPeriodHeading();
        r.add(QStringLiteral("客户数量总计：") + *inPeriod + QStringLiteral(" 个"));
        r.add(QString());
        r.add(QStringLiteral("其中："));
        const QVector<Entry> rows = entries(r, perEntryCount(d, period.condition), period.values);
        for (const Entry &e : rows)
            r.add(countLine(e));
        res.title = d1 + QStringLiteral("至") + d2 + d.title;
        addSlices(res, rows, r, false);
        return res;
    }

    // Contract members: the totals of all contracts, then of the period.
    const QString sumOf = QStringLiteral("SELECT SUM(RMB) AS sumIn FROM tblOperates WHERE InOrOut = ?");
    const auto contractTotals = [&](const QString &heading, const FigureReader::Period &p) {
        const auto n = r.count(QStringLiteral("SELECT COUNT(OperateID) AS sumIn FROM tblOperates WHERE 1 = 1") + p.condition,
                               p.values);
        if (!n)
            return false;
        r.add(heading + *n + QStringLiteral(" 个"));
        r.add(QString());
        const auto in = r.amount(sumOf + p.condition, QVariantList{directionText(Direction::Income)} + p.values);
        if (r.failed())
            return false;
        r.add(QStringLiteral("收入合同金额总计：") + amountText(in) + QStringLiteral(" 元"));
        r.add(QString());
        const auto out = r.amount(sumOf + p.condition, QVariantList{directionText(Direction::Expense)} + p.values);
        if (r.failed())
            return false;
        r.add(QStringLiteral("支出合同金额总计：") + amountText(out) + QStringLiteral(" 元"));
        r.add(QString());
        r.add(QStringLiteral("其中："));
        return true;
    };
    if (!contractTotals(QStringLiteral("业务数量总计： "), {}))
        return res;
    for (const Entry &e : entries(r, perEntryCount(d, {}), {}))
        r.add(countLine(e));
    if (r.failed())
        return res;
    addPeriodHeading();
    if (!contractTotals(QStringLiteral("业务数量总计："), period))
        return res;
    const QVector<Entry> rows = entries(r, perEntryCount(d, period.condition), period.values);
    for (const Entry &e : rows)
        r.add(countLine(e));
    if (r.failed())
        return res;
    res.title = d1 + QStringLiteral("至") + d2 + d.title;
    if (m == Member::OperateType) {
        // The type's pie weighs amounts, income and expense together,
        // while its list counts contracts.
        const QString sql =
            QStringLiteral("SELECT g.sumIn, e.TypeID, e.TypeName, e.TypeColor FROM tblOperateType e INNER JOIN "
                           "(SELECT TypeID, SUM(RMB) AS sumIn FROM tblOperates WHERE 1 = 1%1 GROUP BY TypeID) g "
                           "ON g.TypeID = e.TypeID ORDER BY e.TypeID")
                .arg(period.condition);
        addSlices(res, entries(r, sql, period.values), r, true);
    } else {
        addSlices(res, rows, r, false);
    }
    return res;
}

AnalysisResult finance(Database &db, Direction d, int maxBars)
{
    AnalysisResult res;
    res.chart = AnalysisResult::Chart::Bars;
    FigureReader r(db, res);
    // The money lines are summed once per contract before the join; a
    // contract without lines or without its customer has no bar.
    const QString sql =
        QStringLiteral("SELECT o.OperateTitle, o.RMB - l.sumRMB AS surPlus FROM tblOperates o "
                       "INNER JOIN (SELECT OperateID, SUM(RMB) AS sumRMB FROM tblOperateDetail GROUP BY OperateID) l "
                       "ON l.OperateID = o.OperateID "
                       "INNER JOIN tblCustomers c ON o.CustID = c.CustID "
                       "WHERE o.InOrOut = ? ORDER BY %1, o.OperateID%2")
            .arg(db.dialect().descendingNullsLast(QStringLiteral("o.RMB - l.sumRMB")),
                 maxBars > 0 ? QStringLiteral(" LIMIT ?") : QString());
    QVariantList values{directionText(d)};
    if (maxBars > 0)
        values << maxBars;
    r.rows(sql, values, [&](const QSqlQuery &q) {
        const std::optional<Money> m = r.money(q.value(1));
        res.points.push_back({q.value(0).toString(), m ? m->toDouble() : 0, !m, {}});
    });
    res.title = d == Direction::Income ? QStringLiteral("应收账款分析") : QStringLiteral("应付账款分析");
    return res;
}

} // namespace ClassAnalyses
