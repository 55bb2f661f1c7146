// URL byte escaping, compared with its definition byte by byte: the bytes to
// escape become %XX and every other byte stays.
#include "FuzzCheck.h"
#include "base/AsciiCase.h"
#include "net/EscapeUrlBytes.h"

#include <cstdint>
#include <string_view>

using namespace veltrap;

namespace {

bool MustEscape(unsigned char c) {
    return c <= 0x20 || c >= 0x7F ||
           std::string_view("\"<>\\^`{|}").find(static_cast<char>(c)) != std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view url(reinterpret_cast<const char*>(data), size);
    const std::string escaped = EscapeUrlBytes(url);
    std::string expected;
    for (const unsigned char c : url) {
        if (MustEscape(c)) {
            static constexpr char kHex[] = "0123456789abcdef";
            expected += '%';
            expected += kHex[c >> 4];
            expected += kHex[c & 0xF];
        } else {
            expected += static_cast<char>(c);
        }
    }
    // Hex digits may be written in either case.
    FUZZ_CHECK(LowerAscii(escaped) == LowerAscii(expected));
    for (const unsigned char c : escaped) {
        FUZZ_CHECK(!MustEscape(c));
    }
    return 0;
}
