#include "net/HttpSession.h"

#include <utility>

namespace veltrap {

HttpSession::HttpSession(HttpOptions options, const RunStop& stop)
    : options_(std::move(options)),
      stop_(stop),
      cache_(options_.cacheBytes),
      scheduler_(options_, stop) {}

const RunStop& HttpSession::NeverStopped() {
    static const RunStop never;
    return never;
}

}  // namespace veltrap
