#include "net/HttpSession.h"

#include <utility>

namespace veltrap {

HttpSession::HttpSession(HttpOptions options)
    : options_(std::move(options)), cache_(options_.cacheBytes), scheduler_(options_) {}

void HttpSession::StopNew() {
    stopped_.store(true);
    scheduler_.StopNew();
}

void HttpSession::Abort() {
    stopped_.store(true);
    aborted_.store(true);
    scheduler_.Abort();
}

}  // namespace veltrap
