#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace veltrap {

// The value side of a "key=value" line in the INI form the saved state has
// always had, so that files written before read the same and files written
// now read back in the older program.

// The text as it is written after the '=': quoted when it holds ';', ',' or
// '=', or begins or ends with a blank; backslash escapes for quotes,
// backslashes and control bytes; a leading '@' doubled, since '@' starts a
// typed value.
std::string EscapeIniValue(std::string_view text);

// The text a written value stands for. Unquoted commas split the value into
// a list, which reads back joined with commas again. "@ByteArray(...)" reads
// as its bytes; any other typed value ("@Rect(...)", "@Invalid()") is not
// text and reads as nothing.
std::optional<std::string> ReadIniValue(std::string_view written);

}  // namespace veltrap
