#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// The standard Base64 form of bytes (RFC 4648, with "=" padding), as HTTP Basic
// authentication sends a login and password.
std::string Base64Encode(std::string_view bytes);

}  // namespace veltrap
