#include "base/LeadingInteger.h"

#include <algorithm>
#include <cstddef>
#include <limits>

namespace veltrap {
namespace {

bool IsCSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

}  // namespace

std::int64_t LeadingInteger64(std::string_view text) {
    std::size_t at = 0;
    while (at < text.size() && IsCSpace(text[at])) {
        ++at;
    }
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        negative = text[at] == '-';
        ++at;
    }
    // Accumulating as a negative number reaches the most negative value too;
    // once the next digit would pass it, the value stays at the limit.
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    std::int64_t value = 0;
    bool saturated = false;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at) {
        const int digit = text[at] - '0';
        if (saturated || value < (kMin + digit) / 10) {
            saturated = true;
        } else {
            value = value * 10 - digit;
        }
    }
    if (negative) {
        return saturated ? kMin : value;
    }
    if (saturated || value == kMin) {
        return std::numeric_limits<std::int64_t>::max();
    }
    return -value;
}

std::int32_t LeadingInteger32(std::string_view text) {
    return static_cast<std::int32_t>(
        std::clamp<std::int64_t>(LeadingInteger64(text), std::numeric_limits<std::int32_t>::min(),
                                 std::numeric_limits<std::int32_t>::max()));
}

}  // namespace veltrap
