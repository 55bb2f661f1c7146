#include "base/Utf8Text.h"

#include "base/Utf8Display.h"

#include <cstddef>

namespace veltrap {

std::string MendUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t length = Utf8SequenceLength(bytes, at);
        if (length > 0) {
            text.append(bytes.substr(at, length));
            at += length;
            continue;
        }
        // A stray byte from 0x80 to 0xFF, written as U+0080 to U+00FF.
        const auto byte = static_cast<unsigned char>(bytes[at]);
        text.push_back(static_cast<char>(0xC0 | (byte >> 6)));
        text.push_back(static_cast<char>(0x80 | (byte & 0x3F)));
        ++at;
    }
    return text;
}

}  // namespace veltrap
