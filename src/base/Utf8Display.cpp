#include "base/Utf8Display.h"

#include <array>
#include <cstddef>
#include <cstdint>

namespace veltrap {
namespace {

bool InRange(std::string_view bytes, std::size_t at, unsigned char low, unsigned char high) {
    if (at >= bytes.size()) {
        return false;
    }
    const auto byte = static_cast<unsigned char>(bytes[at]);
    return byte >= low && byte <= high;
}

// Windows-1252 from 0x80 to 0x9F; the five bytes it leaves undefined keep the
// control code point of the same value. From 0xA0 on it is Latin-1.
constexpr std::array<std::uint16_t, 32> kWindows1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendCodePoint(std::string& text, std::uint32_t code) {
    if (code < 0x800) {
        text.push_back(static_cast<char>(0xC0 | (code >> 6)));
    } else {
        text.push_back(static_cast<char>(0xE0 | (code >> 12)));
        text.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
    }
    text.push_back(static_cast<char>(0x80 | (code & 0x3F)));
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view bytes, std::size_t at) {
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

std::string ReplaceStrayBytes(std::string_view bytes, std::uint32_t (*codeOf)(unsigned char)) {
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
        AppendCodePoint(text, codeOf(static_cast<unsigned char>(bytes[at])));
        ++at;
    }
    return text;
}

std::string Utf8ForDisplay(std::string_view bytes) {
    return ReplaceStrayBytes(bytes, [](unsigned char byte) -> std::uint32_t {
        return byte >= 0x80 && byte < 0xA0 ? kWindows1252High[byte - 0x80] : byte;
    });
}

}  // namespace veltrap
