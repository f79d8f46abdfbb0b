#pragma once

#include "data/tablerules.h"

// Contracts (tblOperates), their money lines (tblOperateDetail) and the
// currencies they are converted by. Data only.
namespace ContractRules {
TableRules operates();
TableRules moneyLines();
TableRules currencies();

extern const QString kDuplicateLine;   // "对不起，已经存在相同的子项编码!"
extern const QString kCurrencyInUse;   // "对不起，该币别已被业务资料使用，不能删除！"
} // namespace ContractRules
