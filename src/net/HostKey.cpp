#include "net/HostKey.h"

#include "base/AsciiCase.h"

#include <curl/curl.h>

#include <memory>

namespace veltrap {

std::string HostKey(const std::string& target) {
    std::unique_ptr<CURLU, decltype(&curl_url_cleanup)> url(curl_url(), &curl_url_cleanup);
    if (!url || curl_url_set(url.get(), CURLUPART_URL, target.c_str(), 0) != CURLUE_OK) {
        return {};
    }
    char* host = nullptr;
    char* port = nullptr;
    std::string key;
    if (curl_url_get(url.get(), CURLUPART_HOST, &host, 0) == CURLUE_OK &&
        curl_url_get(url.get(), CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) == CURLUE_OK) {
        key = LowerAscii(host) + ":" + port;
    }
    curl_free(host);
    curl_free(port);
    return key;
}

}  // namespace veltrap
