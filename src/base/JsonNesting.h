#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrap {

// The deepest nesting answers from services have; anything deeper is refused
// unread, since parsing it costs time and memory for nothing of use.
inline constexpr std::size_t kDeepestJsonNesting = 64;

// Whether the text, read as JSON, opens more than limit arrays and objects
// inside one another at some point. Brackets inside strings do not count. One
// pass over the text, without parsing it.
bool JsonNestsDeeperThan(std::string_view text, std::size_t limit = kDeepestJsonNesting);

// Why an answer nested deeper than kDeepestJsonNesting was refused.
std::string TooDeeplyNestedProblem();

}  // namespace veltrap
