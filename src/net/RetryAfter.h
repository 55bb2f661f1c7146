#pragma once

#include <ctime>
#include <optional>
#include <string_view>

namespace veltrap {

// The seconds a Retry-After header asks to wait, given either as a number of
// seconds or as an HTTP date (then counted from now). Nothing for a value that
// is neither; a date already past asks for no wait.
std::optional<long> RetryAfterSeconds(std::string_view value, std::time_t now);

}  // namespace veltrap
