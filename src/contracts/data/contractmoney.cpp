#include "contracts/data/contractmoney.h"

#include "data/database.h"
#include "data/money.h"

#include <QSqlError>
#include <QSqlQuery>

namespace ContractMoney {

namespace {
Money orZero(const QVariant &v) { return Money::fromVariant(v).value_or(Money()); }

// The one value of a one-column query with bound values; nullopt when no row.
std::optional<QVariant> single(Database &db, const QString &sql, const QVariantList &binds, QString *error)
{
    QSqlQuery q(db.sql());
    q.prepare(sql);
    for (const QVariant &b : binds)
        q.addBindValue(b);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return q.value(0);
}

const QString kCurrID = QStringLiteral("CurrID");
} // namespace

std::optional<double> currencyRate(Database &db, const QString &currId, QString *error)
{
    if (currId.isEmpty())
        return std::nullopt;
    const auto v = single(db, QStringLiteral("SELECT Rate FROM tblCurrencyRate WHERE CurrID = ?"), {currId}, error);
    if (!v || v->isNull())
        return std::nullopt;
    return v->toDouble();
}

QVariant rmb(const QVariant &amount, double rate)
{
    const auto m = orZero(amount).times(rate);
    return m ? QVariant::fromValue(*m) : QVariant();
}

QVariant profitRate(const QVariant &profit, const QVariant &amount)
{
    const Money a = orZero(amount);
    if (a.isZero())
        return 0.0;
    return double(orZero(profit).units()) / double(a.units());
}

QVariant lineTotal(const QVariant &price, const QVariant &quantity)
{
    const auto m = orZero(price).times(orZero(quantity));
    return m ? QVariant::fromValue(*m) : QVariant();
}

QVariant lineRmb(const QVariant &price, const QVariant &quantity, double rate)
{
    const auto m = orZero(price).times(orZero(quantity), rate);
    return m ? QVariant::fromValue(*m) : QVariant();
}

HookResult recomputeContract(Dataset &d)
{
    if (!d.isEditing() || !d.database())
        return HookResult::proceed();
    const QString curr = d.value(kCurrID).toString();
    if (!curr.isEmpty()) {
        QString error;
        const auto rate = currencyRate(*d.database(), curr, &error);
        if (!error.isEmpty())
            return HookResult::refuse(error);
        if (rate)
            d.setValue(QStringLiteral("RMB"), rmb(d.value(QStringLiteral("CompactAmount")), *rate));
    }
    d.setValue(QStringLiteral("Rate"), profitRate(d.value(QStringLiteral("Profit")), d.value(QStringLiteral("CompactAmount"))));
    return HookResult::proceed();
}

HookResult recomputeLine(Dataset &d)
{
    if (!d.isEditing() || !d.database())
        return HookResult::proceed();
    const QVariant price = d.value(QStringLiteral("Price")), qty = d.value(QStringLiteral("Amount"));
    d.setValue(QStringLiteral("DTotal"), lineTotal(price, qty));
    QString curr = d.value(kCurrID).toString();
    QString error;
    if (curr.isEmpty()) {
        const auto own = single(*d.database(), QStringLiteral("SELECT CurrID FROM tblOperates WHERE OperateID = ?"),
                                {d.value(QStringLiteral("OperateID"))}, &error);
        if (own)
            curr = own->toString();
    }
    const auto rate = error.isEmpty() ? currencyRate(*d.database(), curr, &error) : std::nullopt;
    if (!error.isEmpty())
        return HookResult::refuse(error);
    d.setValue(QStringLiteral("RMB"), rate ? lineRmb(price, qty, *rate) : QVariant());
    return HookResult::proceed();
}

} // namespace ContractMoney
