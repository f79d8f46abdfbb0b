#pragma once

#include "data/tablerules.h"

// The domestic workers' files (tblYuangong). Data only.
namespace WorkerRules {
TableRules yuangong();
}
