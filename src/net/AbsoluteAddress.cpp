#include "net/AbsoluteAddress.h"

#include "base/AsciiCase.h"

#include <curl/curl.h>

#include <memory>
#include <optional>

namespace veltrap {
namespace {

using Handle = std::unique_ptr<CURLU, decltype(&curl_url_cleanup)>;

Handle Parsed(std::string_view address, const Handle* base = nullptr) {
    Handle url(base != nullptr ? curl_url_dup(base->get()) : curl_url(), &curl_url_cleanup);
    if (!url ||
        curl_url_set(url.get(), CURLUPART_URL, std::string(address).c_str(), 0) != CURLUE_OK) {
        return Handle(nullptr, &curl_url_cleanup);
    }
    return url;
}

std::optional<std::string> Part(const Handle& url, CURLUPart part, unsigned int flags = 0) {
    char* text = nullptr;
    const CURLUcode code = curl_url_get(url.get(), part, &text, flags);
    if (code != CURLUE_OK) {
        return std::nullopt;
    }
    std::string copy(text);
    curl_free(text);
    return copy;
}

// Scheme, host, port, path and query in a form where equal means the same.
std::optional<std::string> ComparisonKey(std::string_view address) {
    const Handle url = Parsed(address);
    if (!url) {
        return std::nullopt;
    }
    const auto scheme = Part(url, CURLUPART_SCHEME);
    const auto host = Part(url, CURLUPART_HOST);
    const auto port = Part(url, CURLUPART_PORT, CURLU_DEFAULT_PORT);
    const auto path = Part(url, CURLUPART_PATH);
    if (!scheme || !host || !port || !path) {
        return std::nullopt;
    }
    const auto query = Part(url, CURLUPART_QUERY);
    return LowerAscii(*scheme) + "://" + LowerAscii(*host) + ":" + *port + *path +
           (query ? "?" + *query : std::string());
}

}  // namespace

std::string AbsoluteAddress(std::string_view base, std::string_view reference) {
    const Handle page = Parsed(base);
    if (!page) {
        return {};
    }
    // Setting a URL on a handle that holds one resolves it against that one.
    const Handle resolved = Parsed(reference, &page);
    if (!resolved) {
        return {};
    }
    return Part(resolved, CURLUPART_URL).value_or(std::string());
}

bool SameAddress(std::string_view a, std::string_view b) {
    const auto first = ComparisonKey(a);
    const auto second = ComparisonKey(b);
    return first && second && *first == *second;
}

std::string AddressKey(std::string_view address) {
    return ComparisonKey(address).value_or(std::string());
}

std::string AddressHost(std::string_view address) {
    const Handle url = Parsed(address);
    if (!url) {
        return {};
    }
    return LowerAscii(Part(url, CURLUPART_HOST).value_or(std::string()));
}

std::string HostKey(std::string_view address) {
    const Handle url = Parsed(address);
    if (!url) {
        return {};
    }
    const auto host = Part(url, CURLUPART_HOST);
    const auto port = Part(url, CURLUPART_PORT, CURLU_DEFAULT_PORT);
    return host && port ? LowerAscii(*host) + ":" + *port : std::string();
}

}  // namespace veltrap
