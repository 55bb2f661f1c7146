#pragma once

namespace veltrap {

// The values of a run's state, as the worker and the window hand it over.
enum RunState : int {
    kRunIdle = 0,       // idle, or the run has finished
    kRunStarted = 1,    // run requested, worker just started
    kRunShowing = 2,    // running; the status line shows the latest text
    kRunNewLine = 3,    // running; the status text holds a line not yet shown
    kRunCancelled = 4,  // cancelled by the user
};

}  // namespace veltrap
