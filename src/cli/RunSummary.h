#pragma once

#include "engine/RunResult.h"

#include <string>

namespace veltrap {

// A few lines for a person at a terminal: the totals of the run, how many
// distinct keyphrases and pages of the site the kept links use, and how many
// links are reciprocal. Keyphrases and pages are told apart ignoring case, as
// the report tables do.
std::string RunSummary(const RunResult& outcome);

}  // namespace veltrap
