#pragma once

#include "session/ReportSession.h"

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace veltrap::testing {

// A stand-in for the report run that the test steers. Every run writes one
// status line, then waits until the test releases it (or, when it honours
// cancels, until it is stopped), then keeps one record for the typed site and
// ends. Runs are numbered from 0 in the order they start.
class ScriptedRun {
public:
    ScriptedRun();

    // The pipeline to hand to the window; it keeps this object alive.
    ReportSession::Pipeline Function();

    // Lets run number `run` go on; -1 lets every run go on without waiting.
    void Release(int run);
    // When false, a waiting run ignores its stop, as a run stuck inside a
    // slow fetch would.
    void SetHonoursCancel(bool honours) { honoursCancel_ = honours; }

    int Started() const { return started_.load(); }
    int Returned() const { return returned_.load(); }
    // The requests the runs were given, in order.
    std::vector<RunRequest> Requests() const;

private:
    struct State;
    std::shared_ptr<State> state_;
    std::atomic<bool>& honoursCancel_;
    std::atomic<int>& started_;
    std::atomic<int>& returned_;
};

}  // namespace veltrap::testing
