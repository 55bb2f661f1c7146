#include "base/Base64.h"

#include <algorithm>
#include <cstdint>

namespace veltrap {

std::string Base64Encode(std::string_view bytes) {
    static constexpr char kDigits[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string encoded;
    encoded.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t at = 0; at < bytes.size(); at += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - at);
        std::uint32_t group = 0;
        for (std::size_t i = 0; i < 3; ++i) {
            group = (group << 8) |
                    (i < count ? static_cast<unsigned char>(bytes[at + i]) : std::uint32_t{0});
        }
        // Three bytes make four digits; a short group is padded with "=".
        for (std::size_t i = 0; i < 4; ++i) {
            encoded.push_back(i <= count ? kDigits[(group >> (18 - 6 * i)) & 0x3F] : '=');
        }
    }
    return encoded;
}

}  // namespace veltrap
