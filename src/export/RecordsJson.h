#pragma once

#include "base/TextSink.h"
#include "engine/RunResult.h"

#include <string>

namespace veltrap {

// Writes the run as records.json, a record at a time: the site key, the
// counts, whether it was cancelled, every record in list order, one record a
// line, and then every record the run removed, with why. Text that is not
// valid UTF-8 is mended byte by byte, so the file is always valid JSON.
void WriteRecordsJson(const RunResult& outcome, TextSink& sink);
// The same, whole.
std::string RecordsJson(const RunResult& outcome);

}  // namespace veltrap
