#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// The small text operations the page readers share. Pages are byte strings and
// case folding touches only the ASCII letters.

std::string LowerAscii(std::string_view text);
bool Contains(std::string_view text, std::string_view what);
// Removes every occurrence of what, scanning left to right; removals do not
// rescan the text they join.
void RemoveEvery(std::string& text, std::string_view what);

}  // namespace veltrap
