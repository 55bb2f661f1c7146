#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// The plain substring operations the readers and the report share. Pages are
// byte strings, so every comparison here is exact, byte for byte.

bool Contains(std::string_view text, std::string_view what);
// Removes every occurrence of what, scanning left to right; removals do not
// rescan the text they join.
void RemoveEvery(std::string& text, std::string_view what);
// The text without any of the bytes of set at either end; blanks and line
// ends unless told otherwise.
std::string_view Trimmed(std::string_view text, std::string_view set = " \t\r\n");

}  // namespace veltrap
