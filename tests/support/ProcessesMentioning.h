#pragma once

#include <string>

namespace veltrap::testing {

// How many live processes have text in their command line, as pgrep -f
// counts them; a process that has ended but was not yet reaped has no command
// line left and is not counted.
int ProcessesMentioning(const std::string& text);

}  // namespace veltrap::testing
