#pragma once

#include "data/tablerules.h"

// The domestic workers' files (tblYuangong), the labour-supplying units
// (tblShusong) and their commission settlements (tblShusongYJ). Data only.
namespace WorkerRules {
TableRules yuangong();
TableRules shusong();
TableRules shusongYJ();
}
