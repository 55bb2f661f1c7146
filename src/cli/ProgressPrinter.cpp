#include "cli/ProgressPrinter.h"

#include "base/TextSearch.h"

#include <algorithm>

namespace veltrap {
namespace {

constexpr std::size_t kBarWidth = 30;
// Back to the start of the line and erase it.
constexpr const char* kEraseLine = "\r\x1b[K";

std::string Printable(std::string line) {
    RemoveEvery(line, "\r\n");
    for (char& c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            c = '?';
        }
    }
    return line;
}

}  // namespace

ProgressPrinter::ProgressPrinter(std::ostream& stream, bool terminal)
    : stream_(stream), terminal_(terminal) {}

void ProgressPrinter::Status(const std::string& line) {
    std::lock_guard lock(mutex_);
    ClearBar();
    stream_ << Printable(line) << '\n';
    DrawBar();
    stream_.flush();
}

void ProgressPrinter::RecordDone(std::size_t done, std::size_t total) {
    std::lock_guard lock(mutex_);
    // Records finish out of order when several are examined at once; the bar
    // only ever moves on.
    done_ = std::max(done_, done);
    total_ = total;
    if (terminal_) {
        ClearBar();
        barShown_ = true;
        DrawBar();
        stream_.flush();
    }
}

void ProgressPrinter::Finish() {
    std::lock_guard lock(mutex_);
    ClearBar();
    barShown_ = false;
    stream_.flush();
}

void ProgressPrinter::ClearBar() {
    if (barShown_) {
        stream_ << kEraseLine;
    }
}

void ProgressPrinter::DrawBar() {
    if (!barShown_ || total_ == 0) {
        return;
    }
    const std::size_t done = std::min(done_, total_);
    const std::size_t filled = done * kBarWidth / total_;
    stream_ << '[' << std::string(filled, '#') << std::string(kBarWidth - filled, '-') << "] "
            << done << " of " << total_ << " records done";
}

}  // namespace veltrap
