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

bool RunShared::PostStatus(const std::string& line) {
    std::lock_guard lock(statusMutex_);
    int state = runState.load();
    while (!IsStopped(state)) {
        if (runState.compare_exchange_weak(state, kRunNewLine)) {
            statusText_ = line;
            return true;
        }
    }
    return false;
}

bool RunShared::Cancel(const std::string& text) {
    std::lock_guard lock(statusMutex_);
    int state = runState.load();
    while (!IsStopped(state)) {
        if (runState.compare_exchange_weak(state, kRunCancelled)) {
            statusText_ = text;
            return true;
        }
    }
    return false;
}

}  // namespace veltrap
