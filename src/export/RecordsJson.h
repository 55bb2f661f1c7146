#pragma once

#include "engine/RunResult.h"

#include <string>

namespace veltrap {

// The run as records.json: the site key, the counts, whether it was cancelled,
// every record in list order, one record a line, and then every record the
// run removed, with why. Text that is not valid
// UTF-8 is mended byte by byte, so the file is always valid JSON.
std::string RecordsJson(const RunResult& outcome);

}  // namespace veltrap
