#include "services/openpagerank/RegistrableDomain.h"

#include "base/AsciiCase.h"

#include <libpsl.h>

#include <memory>

namespace veltrap {
namespace {

// The newest list the system has, or the one built into the library; null
// when there is neither, and every host then keeps its last two labels.
const psl_ctx_t* SuffixList() {
    static const std::unique_ptr<psl_ctx_t, decltype(&psl_free)> list(psl_latest(nullptr),
                                                                      &psl_free);
    return list.get();
}

// The host of an address: after the scheme and any user name, before the
// port, path, query or fragment. A bracketed IPv6 host keeps its brackets.
std::string_view HostOf(std::string_view url) {
    const auto scheme = url.find("://");
    std::string_view rest = scheme == std::string_view::npos ? url : url.substr(scheme + 3);
    rest = rest.substr(0, rest.find_first_of("/?#\\"));
    if (const auto at = rest.rfind('@'); at != std::string_view::npos) {
        rest = rest.substr(at + 1);
    }
    if (rest.starts_with('[')) {
        return rest.substr(0, rest.find(']') + 1);
    }
    return rest.substr(0, rest.find(':'));
}

bool IsIpAddress(std::string_view host) {
    return host.starts_with('[') || host.find_first_not_of("0123456789.") == std::string_view::npos;
}

std::string LastTwoLabels(const std::string& host) {
    const auto last = host.rfind('.');
    if (last == std::string::npos || last == 0) {
        return host;
    }
    const auto before = host.rfind('.', last - 1);
    return before == std::string::npos ? host : host.substr(before + 1);
}

}  // namespace

std::string RegistrableDomain(std::string_view pageUrl) {
    std::string host = LowerAscii(HostOf(pageUrl));
    // A fully qualified name's final dot names the same host.
    while (host.ends_with('.')) {
        host.pop_back();
    }
    if (host.empty() || IsIpAddress(host)) {
        return host;
    }
    if (const psl_ctx_t* list = SuffixList()) {
        if (const char* domain = psl_registrable_domain(list, host.c_str())) {
            return domain;
        }
    }
    return LastTwoLabels(host);
}

}  // namespace veltrap
