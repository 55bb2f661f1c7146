#include "base/QuotedText.h"

namespace veltrap {

std::string QuotedText(std::string_view text) {
    bool cut = false;
    if (text.size() > kLongestQuote) {
        std::size_t end = kLongestQuote;
        // Back off over continuation bytes to the start of their sequence.
        while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) {
            --end;
        }
        text = text.substr(0, end);
        cut = true;
    }
    std::string quoted = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        quoted.push_back(byte < 0x20 || byte == 0x7F ? ' ' : c);
    }
    return quoted + (cut ? "...\"" : "\"");
}

std::string WithoutSecret(std::string text, std::string_view secret) {
    if (secret.empty()) {
        return text;
    }
    for (auto at = text.find(secret); at != std::string::npos; at = text.find(secret, at + 3)) {
        text.replace(at, secret.size(), "***");
    }
    return text;
}

}  // namespace veltrap
