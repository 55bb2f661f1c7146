#pragma once

#include <cstdint>
#include <string_view>

namespace veltrap {

// The number a text starts with: white space skipped, an optional sign, then
// decimal digits up to the first other character. Text without digits there
// gives 0, and a number beyond 32 bits gives the nearest 32-bit limit instead
// of wrapping.
std::int32_t LeadingNumber(std::string_view text);

}  // namespace veltrap
