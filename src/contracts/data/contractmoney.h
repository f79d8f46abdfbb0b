#pragma once

#include "data/dataset.h"

#include <QString>
#include <QVariant>

#include <optional>

class Database;

// The renminbi of contracts and their money lines. An amount is converted
// when it is edited and stored, at the rate its currency has then; a later
// change of a rate leaves stored rows alone. Data only.
namespace ContractMoney {

// Renminbi per unit of the currency; nullopt when the code names no
// currency (or the database failed, with its text in error).
std::optional<double> currencyRate(Database &db, const QString &currId, QString *error = nullptr);

// amount × rate, an empty amount counting as 0.
QVariant rmb(const QVariant &amount, double rate);
// profit ÷ amount as a plain fraction; 0 when the amount is 0 or empty.
QVariant profitRate(const QVariant &profit, const QVariant &amount);
// price × quantity, either empty counting as 0.
QVariant lineTotal(const QVariant &price, const QVariant &quantity);
// price × quantity × rate, rounded once.
QVariant lineRmb(const QVariant &price, const QVariant &quantity, double rate);

// Fill RMB (when the contract names a currency that exists; otherwise it
// keeps what it had) and Rate into the contract row in hand.
HookResult recomputeContract(Dataset &contract);
// Fill DTotal and RMB into the money line in hand. A line without a
// currency is converted at its contract's; when neither names one, RMB is
// left empty rather than guessed.
HookResult recomputeLine(Dataset &line);

} // namespace ContractMoney
