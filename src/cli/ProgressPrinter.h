#pragma once

#include <cstddef>
#include <mutex>
#include <ostream>
#include <string>

namespace veltrap {

// Shows a run's progress on a stream: every status line on a line of its own
// and, on a terminal, a bar under them with the records done out of
// the backlinks found, which does not shrink as records are removed. Safe to
// call from several threads.
class ProgressPrinter {
public:
    ProgressPrinter(std::ostream& stream, bool terminal);

    // Prints the line without its "\r\n"; other control bytes, which could
    // move the cursor or break the one-line form, show as '?'.
    void Status(const std::string& line);
    // done records of total are done.
    void RecordDone(std::size_t done, std::size_t total);
    // Takes the bar away.
    void Finish();

private:
    void ClearBar();
    void DrawBar();

    std::mutex mutex_;
    std::ostream& stream_;
    bool terminal_;
    bool barShown_ = false;
    std::size_t done_ = 0;
    std::size_t total_ = 0;
};

}  // namespace veltrap
