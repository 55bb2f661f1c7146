#include "demoworld/DemoText.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"

#include <cstddef>

namespace veltrap {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

int HexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool IsAsciiAlnum(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char LowerByte(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char UpperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

std::string PercentDecode(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 &&
            HexValue(text[i + 2]) >= 0) {
            out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
            i += 2;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> QueryPairs(std::string_view query) {
    std::vector<std::pair<std::string, std::string>> pairs;
    while (!query.empty()) {
        const auto end = query.find('&');
        const std::string_view pair = query.substr(0, end);
        if (const auto equals = pair.find('='); equals != std::string_view::npos) {
            pairs.emplace_back(PercentDecode(pair.substr(0, equals)),
                               PercentDecode(pair.substr(equals + 1)));
        }
        query = end == std::string_view::npos ? std::string_view() : query.substr(end + 1);
    }
    return pairs;
}

std::string PercentEncodeAll(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsAsciiAlnum(byte)) {
            out += c;
        } else {
            out += '%';
            out += static_cast<char>(UpperAscii(kHexDigits[byte >> 4]));
            out += static_cast<char>(UpperAscii(kHexDigits[byte & 0x0f]));
        }
    }
    return out;
}

std::string HtmlEncodeAll(std::string_view text) {
    std::string out;
    out.reserve(text.size() * 2);
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (IsAsciiAlnum(byte) || c == ' ') {
            out += c;
        } else {
            out += "&#" + std::to_string(byte) + ";";
        }
    }
    return out;
}

std::string HtmlEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            case '\'':
                out += "&#39;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string HexEncode(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        out += kHexDigits[byte >> 4];
        out += kHexDigits[byte & 0x0f];
    }
    return out;
}

std::optional<std::string> HexDecode(std::string_view hex) {
    if (hex.size() % 2 != 0) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        // Only the lower-case form that HexEncode writes is accepted, so that
        // one text has exactly one address.
        const char high = hex[i];
        const char low = hex[i + 1];
        if (LowerByte(high) != high || LowerByte(low) != low || HexValue(high) < 0 ||
            HexValue(low) < 0) {
            return std::nullopt;
        }
        out += static_cast<char>(HexValue(high) * 16 + HexValue(low));
    }
    return out;
}

std::string SiteIdentity(std::string_view siteKey) {
    std::string identity = LowerAscii(siteKey);
    while (!identity.empty() && identity.back() == '/') {
        identity.pop_back();
    }
    return identity;
}

std::string HostIdentity(std::string_view host) {
    std::string identity = LowerAscii(host);
    if (identity.starts_with("www.")) {
        identity.erase(0, 4);
    }
    return identity;
}

std::string BrandOf(std::string_view identity) {
    const std::string_view label = identity.substr(0, identity.find_first_of("./:"));
    std::string brand;
    bool wordStart = true;
    for (const char c : label) {
        if (c == '-' || c == '_') {
            brand += ' ';
            wordStart = true;
            continue;
        }
        brand += wordStart ? UpperAscii(c) : c;
        wordStart = false;
    }
    return brand.empty() ? std::string("Home") : brand;
}

std::string Capitalized(std::string_view text) {
    std::string out(text);
    if (!out.empty()) {
        out[0] = UpperAscii(out[0]);
    }
    return out;
}

}  // namespace veltrap
