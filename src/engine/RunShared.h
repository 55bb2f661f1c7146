#pragma once

#include "engine/BacklinkList.h"
#include "engine/RunResult.h"
#include "engine/RunState.h"
#include "net/HttpOptions.h"
#include "net/HttpSession.h"

#include <atomic>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>

namespace veltrap {

// Everything one report run shares between its worker and whoever watches it.
// Each run has its own, so a cancelled worker that is still inside a fetch can
// never touch a later run. The list is written by the worker alone and read by
// others only once runState is back to idle or the worker has ended.
class RunShared {
public:
    explicit RunShared(const HttpOptions& http);
    RunShared(const RunShared&) = delete;
    RunShared& operator=(const RunShared&) = delete;

    std::atomic<int> runState{kRunIdle};
    std::atomic<int> backlinkCount{0};

    void SetStatusText(std::string text);
    std::string StatusText() const;

    // The worker's step: writes a new status line and marks it new (runState 3),
    // unless the run has been cancelled or has ended. Answers whether it did.
    bool PostStatus(const std::string& line);
    // The canceller's step: marks a run that is still going as cancelled and
    // leaves text as its status. Answers false when the run had already ended
    // or been cancelled. The two steps exclude each other, so a cancel's text
    // is never replaced by a line the worker was about to write.
    bool Cancel(const std::string& text);
    // Marks a run that is still going as complete (idle). A run already
    // cancelled keeps that state, so whoever cancelled sees the cancel they
    // asked for. Answers whether it did.
    bool Finish();

    // The run has begun examining records. From then on a cancel also stops
    // new fetches, so the run ends as soon as the answers in flight are in;
    // before, it lets the discovery finish, which a cancel does not stop.
    // Answers whether the run is still going.
    bool BeginRecordPhase();
    // Cancelled, ended, or its fetches aborted: a job stops at its next step.
    bool Stopping() const;

    // Records done out of the backlinks found, for a progress bar.
    std::atomic<std::size_t> recordsDone{0};
    std::atomic<std::size_t> recordsTotal{0};
    // The run could not go on; its status line says why.
    std::atomic<bool> stoppedOnError{false};

    // The run's result, once it has one; null before.
    void SetResult(const RunResult& result);
    std::shared_ptr<const RunResult> Result() const;

    BacklinkList& List() { return list_; }
    const BacklinkList& List() const { return list_; }
    HttpSession& Session() { return session_; }

private:
    // Moves runState to `to` unless the run is cancelled or has ended.
    bool MoveOnUnlessStopped(int to);

    std::atomic<bool> recordPhase_{false};
    mutable std::mutex statusMutex_;
    std::string statusText_;
    std::shared_ptr<const RunResult> result_;
    BacklinkList list_;
    HttpSession session_;
};

}  // namespace veltrap
