#include "net/CurlGlobal.h"

#include <curl/curl.h>

namespace veltrap {

CurlGlobal::CurlGlobal() : ok_(curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK) {}

CurlGlobal::~CurlGlobal() {
    // A failed set-up must not be torn down: libcurl counts inits and cleanups.
    if (ok_) {
        curl_global_cleanup();
    }
}

}  // namespace veltrap
