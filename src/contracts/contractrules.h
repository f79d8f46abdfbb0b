#pragma once

#include "data/tablerules.h"

// Contracts (tblOperates) and their money lines. Data only.
namespace ContractRules {
TableRules operates();
}
