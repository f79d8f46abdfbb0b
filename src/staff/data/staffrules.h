#pragma once

#include "data/tablerules.h"

// The agency's own staff (tblOperaters). Data only.
namespace StaffRules {
TableRules operaters();
}
