#pragma once

#include "data/tablerules.h"

// Appointments (tblPlan) and notices (tblBoard). Data only.
namespace ScheduleRules {
TableRules plans();
TableRules notices();
} // namespace ScheduleRules
