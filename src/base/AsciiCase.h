#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// Case folding touches only the ASCII letters: every other byte, UTF-8 or not,
// stays as it is, so folding never changes a text's length or breaks it.

char LowerAscii(char c);
std::string LowerAscii(std::string_view text);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWithNoCase(std::string_view text, std::string_view prefix);
// Whether what occurs in text, letters matched in either case, without a
// folded copy of text.
bool ContainsNoCase(std::string_view text, std::string_view what);

}  // namespace veltrap
