#include "base/Utf8Text.h"

#include <cstddef>

namespace veltrap {
namespace {

bool InRange(std::string_view bytes, std::size_t at, unsigned char low, unsigned char high) {
    if (at >= bytes.size()) {
        return false;
    }
    const auto byte = static_cast<unsigned char>(bytes[at]);
    return byte >= low && byte <= high;
}

// The length of the well-formed sequence that starts at `at`, or 0. Overlong
// forms, surrogates and values above U+10FFFF are not well-formed.
std::size_t SequenceLength(std::string_view bytes, std::size_t at) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    if (lead < 0x80) {
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        return InRange(bytes, at + 1, 0x80, 0xBF) ? 2 : 0;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        const unsigned char low = lead == 0xE0 ? 0xA0 : 0x80;
        const unsigned char high = lead == 0xED ? 0x9F : 0xBF;
        return InRange(bytes, at + 1, low, high) && InRange(bytes, at + 2, 0x80, 0xBF) ? 3 : 0;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        const unsigned char low = lead == 0xF0 ? 0x90 : 0x80;
        const unsigned char high = lead == 0xF4 ? 0x8F : 0xBF;
        return InRange(bytes, at + 1, low, high) && InRange(bytes, at + 2, 0x80, 0xBF) &&
                       InRange(bytes, at + 3, 0x80, 0xBF)
                   ? 4
                   : 0;
    }
    return 0;
}

}  // namespace

std::string MendUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    std::size_t at = 0;
    while (at < bytes.size()) {
        const std::size_t length = SequenceLength(bytes, at);
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
