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

void RunShared::SetResult(const RunResult& result) {
    auto kept = std::make_shared<const RunResult>(result);
    std::lock_guard lock(statusMutex_);
    result_ = std::move(kept);
}

std::shared_ptr<const RunResult> RunShared::Result() const {
    std::lock_guard lock(statusMutex_);
    return result_;
}

bool RunShared::MoveOnUnlessStopped(int to) {
    int state = runState.load();
    while (!IsStopped(state)) {
        if (runState.compare_exchange_weak(state, to)) {
            return true;
        }
    }
    return false;
}

bool RunShared::PostStatus(const std::string& line) {
    std::lock_guard lock(statusMutex_);
    if (!MoveOnUnlessStopped(kRunNewLine)) {
        return false;
    }
    statusText_ = line;
    return true;
}

bool RunShared::Cancel(const std::string& text) {
    std::lock_guard lock(statusMutex_);
    if (!MoveOnUnlessStopped(kRunCancelled)) {
        return false;
    }
    statusText_ = text;
    if (recordPhase_.load()) {
        session_.StopNew();
    }
    return true;
}

bool RunShared::Finish() {
    return MoveOnUnlessStopped(kRunIdle);
}

bool RunShared::BeginRecordPhase() {
    // Paired with Cancel: whichever of the two comes second sees the other,
    // so a cancel is never missed between them.
    recordPhase_.store(true);
    if (runState.load() == kRunCancelled) {
        session_.StopNew();
        return false;
    }
    return !IsStopped(runState.load());
}

bool RunShared::Stopping() const {
    return IsStopped(runState.load()) || session_.Aborted();
}

}  // namespace veltrap
