#include "app/WebAddressToOpen.h"

#include "base/AsciiCase.h"

#include <QString>

#include <algorithm>
#include <array>

namespace veltrap {
namespace {

// Spaces, control bytes and NUL never belong in an address, and a lenient
// parser might drop them rather than refuse the text.
bool HasBlankOrControl(std::string_view text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte <= 0x20 || byte == 0x7f;
    });
}

}  // namespace

QUrl WebAddressToOpen(std::string_view text) {
    constexpr std::array<std::string_view, 2> kWebSchemes{"http://", "https://"};
    const bool web = std::any_of(kWebSchemes.begin(), kWebSchemes.end(), [&](std::string_view s) {
        return StartsWithNoCase(text, s);
    });
    if (!web || HasBlankOrControl(text)) {
        return {};
    }
    const QUrl url(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
                   QUrl::StrictMode);
    if (!url.isValid() || url.host().isEmpty()) {
        return {};
    }
    return url;
}

}  // namespace veltrap
