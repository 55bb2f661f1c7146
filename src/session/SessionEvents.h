#pragma once

#include "base/Result.h"
#include "session/FinishedReport.h"

#include <chrono>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace veltrap {

// How a session ended, once everything it was asked for is done.
struct SessionEnd {
    // The run as it ended, or why it stopped on an error, which its last
    // status line also says.
    Result<FinishedReport> report = Failure{"the run has not ended"};
    // Why the history could not store or compare the run, a line each. The
    // history never costs the report, so these stop nothing.
    std::vector<std::string> historyProblems;
    // Whether the output files asked for were written.
    Status written;
    // From the start of the run to the end of its records.
    std::chrono::milliseconds took{0};
};

// What a session tells whoever follows it. Every callback may be left empty.
// Each is called on one of the session's threads, several of them at once
// while records are examined side by side, so a listener that keeps state
// locks it, and a window hands each call on to its own thread.
struct SessionEvents {
    // A status line, ending in "\r\n" or not, as the run writes it. After a
    // cancel no line follows the cancel's own.
    std::function<void(const std::string& line)> status;
    // Records done out of the backlinks found.
    std::function<void(std::size_t done, std::size_t total)> recordsDone;
    // The session has ended: its run is stored and its outputs written.
    std::function<void(const SessionEnd& end)> finished;
};

}  // namespace veltrap
