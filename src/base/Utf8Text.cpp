#include "base/Utf8Text.h"

#include "base/Utf8Display.h"

namespace veltrap {

std::string MendUtf8(std::string_view bytes) {
    // A stray byte from 0x80 to 0xFF is written as U+0080 to U+00FF.
    return ReplaceStrayBytes(bytes, [](unsigned char byte) -> std::uint32_t { return byte; });
}

}  // namespace veltrap
