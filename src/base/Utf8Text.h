#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// The bytes as valid UTF-8: well-formed sequences stay as they are, and every
// byte that is not part of one becomes the code point of the same value, so
// nothing is lost and the original bytes can be told back.
std::string MendUtf8(std::string_view bytes);

}  // namespace veltrap
