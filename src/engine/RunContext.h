#pragma once

#include "base/RunStop.h"
#include "net/HttpSession.h"
#include "render/PageRenderer.h"

#include <cstddef>
#include <functional>
#include <string>

namespace veltrap {

// Where a run tells its progress. Either may be left empty. Each is called on
// one of the run's threads, several of them at once when records are examined
// side by side, so a listener that keeps state locks it.
struct RunProgress {
    // Tells one status line. Answers false, telling nothing, once the run has
    // been stopped: the line a cancel leaves is the last one.
    std::function<bool(const std::string& line)> status;
    // A record is done: done of total, total being the backlinks found.
    std::function<void(std::size_t done, std::size_t total)> recordDone;
};

// What whoever runs a report hands the run: the one stop it observes, the
// HTTP session that carries its fetches, where it tells its progress, and
// the browser that reads pages again once their scripts ran (none: pages are
// read as they were fetched).
struct RunContext {
    RunStop& stop;
    HttpSession& http;
    RunProgress progress;
    PageRenderer* renderer = nullptr;

    // Tells a status line, unless the run has been stopped; answers whether
    // it was told, so that a step stops where the run stopped.
    bool Announce(const std::string& line) const;
};

}  // namespace veltrap
