#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace veltrap {

struct RunResult;

// What a run tells whoever follows it, as it happens. Every callback may be
// left empty, and each is called on one of the run's threads, several of them
// at once when records are examined side by side: a reader that keeps state
// locks it.
struct RunEvents {
    // Each status line, as it is written to the shared status text.
    std::function<void(const std::string& line)> status;
    // A record is done: done of total, total being the backlinks found.
    std::function<void(std::size_t done, std::size_t total)> recordDone;
    // The run has ended, completed or cancelled.
    std::function<void(const RunResult& result)> finished;
};

}  // namespace veltrap
