#pragma once

#include <cstdint>
#include <string_view>

namespace veltrap {

// The number a text starts with, read the way C's strtol reads it: white space
// skipped, an optional sign, then decimal digits up to the first other
// character. Text without digits there gives 0. A number beyond the result's
// range gives the nearest limit instead of wrapping.
std::int64_t LeadingInteger64(std::string_view text);
std::int32_t LeadingInteger32(std::string_view text);

}  // namespace veltrap
