#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// Writes every byte but ASCII letters, digits and "-._~" as %XX, so that the
// text stands as one value of a query whatever it holds ("&", "=", blanks).
std::string EscapeQueryValue(std::string_view text);

}  // namespace veltrap
