#include "engine/RunShared.h"

#include <utility>

namespace veltrap {

RunShared::RunShared(const HttpOptions& http) : session_(http) {}

void RunShared::SetStatusText(std::string text) {
    std::lock_guard lock(statusMutex_);
    statusText_ = std::move(text);
}

std::string RunShared::StatusText() const {
    std::lock_guard lock(statusMutex_);
    return statusText_;
}

}  // namespace veltrap
