#include "net/ProxyAddress.h"

#include "base/AsciiCase.h"

#include <array>
#include <charconv>

namespace veltrap {
namespace {

// The proxy kinds libcurl speaks; the "h" kinds leave name lookup to the proxy.
constexpr std::array<std::string_view, 6> kSchemes = {"http://",    "https://",  "socks4://",
                                                      "socks4a://", "socks5://", "socks5h://"};

bool IsPort(std::string_view text) {
    int port = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), port);
    return ec == std::errc() && end == text.data() + text.size() && port >= 1 && port <= 65535;
}

// The part after the scheme, or nothing when no known scheme begins value.
std::string_view AfterScheme(std::string_view value, bool& found) {
    for (const std::string_view scheme : kSchemes) {
        if (StartsWithNoCase(value, scheme)) {
            found = true;
            return value.substr(scheme.size());
        }
    }
    found = false;
    return {};
}

}  // namespace

bool ProxyAddress::IsValid(std::string_view value) {
    if (value.empty() || value == kSystem) {
        return true;
    }
    bool known = false;
    std::string_view rest = AfterScheme(value, known);
    if (!known || rest.find_first_of(" \t\r\n") != std::string_view::npos) {
        return false;
    }
    // A proxy is a host, not a page: at most a closing slash follows it.
    if (rest.ends_with('/')) {
        rest.remove_suffix(1);
    }
    if (const auto at = rest.rfind('@'); at != std::string_view::npos) {
        if (at == 0) {
            return false;
        }
        rest = rest.substr(at + 1);
    }
    if (rest.empty() || rest.find_first_of("/?#") != std::string_view::npos) {
        return false;
    }
    std::string_view host = rest;
    std::string_view port;
    if (rest.front() == '[') {
        const auto close = rest.find(']');
        if (close == std::string_view::npos || close == 1) {
            return false;
        }
        host = rest.substr(0, close + 1);
        const std::string_view after = rest.substr(close + 1);
        if (!after.empty()) {
            if (after.front() != ':') {
                return false;
            }
            port = after.substr(1);
            if (!IsPort(port)) {
                return false;
            }
        }
        return true;
    }
    if (const auto colon = rest.find(':'); colon != std::string_view::npos) {
        host = rest.substr(0, colon);
        port = rest.substr(colon + 1);
        if (!IsPort(port)) {
            return false;
        }
    }
    return !host.empty();
}

std::string ProxyAddress::Masked(std::string_view value, std::string_view mask) {
    bool known = false;
    const std::string_view rest = AfterScheme(value, known);
    const auto at = rest.rfind('@');
    if (!known || at == std::string_view::npos) {
        return std::string(value);
    }
    const std::string_view user = rest.substr(0, at);
    const auto colon = user.find(':');
    if (colon == std::string_view::npos) {
        return std::string(value);
    }
    const std::size_t passwordStart = value.size() - rest.size() + colon + 1;
    return std::string(value.substr(0, passwordStart))
        .append(mask)
        .append(value.substr(value.size() - rest.size() + at));
}

}  // namespace veltrap
