#pragma once

#include <string_view>

namespace veltrap {

// The status line a cancelled run leaves, whoever cancelled it.
inline constexpr std::string_view kCancelledStatus = "Report aborted by user..\r\n";

// The values of a run's state, as the worker and the window hand it over.
enum RunState : int {
    kRunIdle = 0,       // idle, or the run has finished
    kRunStarted = 1,    // run requested, worker just started
    kRunShowing = 2,    // running; the status line shows the latest text
    kRunNewLine = 3,    // running; the status text holds a line not yet shown
    kRunCancelled = 4,  // cancelled by the user
};

// A run in either state takes no more lines and no cancel.
inline constexpr bool IsStopped(int state) {
    return state == kRunCancelled || state == kRunIdle;
}

}  // namespace veltrap
