#include "net/HttpSession.h"

#include <utility>

namespace veltrap {

HttpSession::HttpSession(HttpOptions options)
    : options_(std::move(options)), cache_(options_.cacheBytes) {}

}  // namespace veltrap
