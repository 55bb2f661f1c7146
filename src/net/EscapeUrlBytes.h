#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// Makes an address built from typed or scraped text fit to be sent: every
// control byte, blank, byte at or above 0x80 and each of " < > \ ^ ` { | } is
// written as %XX. All other bytes, '%' included, stay as they are, so an
// address that is already encoded, and its ? & = # + separators, keep their
// meaning.
std::string EscapeUrlBytes(std::string_view url);

}  // namespace veltrap
