#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace veltrap {

// The moment in UTC as ISO 8601 to the second, "2026-12-09T09:40:05Z", so that
// times written in different places sort and compare as text.
std::string UtcTimestamp(std::chrono::system_clock::time_point moment);

// The moment in UTC to the minute, as people read it: "2026-12-09 09:40 UTC".
std::string UtcMinute(std::chrono::system_clock::time_point moment);

// A time as UtcTimestamp wrote it, shown as UtcMinute shows a moment:
// "2026-12-09T09:40:05Z" is "2026-12-09 09:40 UTC". Every time shown to
// people takes this form; files keep ISO 8601. Text of any other form is
// shown as it is, so that nothing stored is hidden.
std::string ShownUtcTime(std::string_view stamp);

}  // namespace veltrap
