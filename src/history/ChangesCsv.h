#pragma once

#include "history/RunChanges.h"

#include <string>

namespace veltrap {

// The changes as changes.csv, written by the same rules as the report's
// other tables.
std::string ChangesCsv(const RunChanges& changes);

}  // namespace veltrap
