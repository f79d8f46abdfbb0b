#pragma once

#include "data/tablerules.h"

// The customers' contact persons (tblLinkmans). Data only.
namespace ContactRules {
TableRules linkmans();
}
