#pragma once

#include <ostream>
#include <string>

namespace veltrap {

// What veltrap-report says: its results on the standard output, and its
// problems on the standard error after the program's name.
class CommandOutput {
public:
    static constexpr int kExitDone = 0;
    static constexpr int kExitFailed = 1;
    static constexpr int kExitUsage = 2;
    // The run ended and was written, and the changes since the previous
    // stored run hold a lost link (with --alert-on-lost).
    static constexpr int kExitLost = 3;
    static constexpr int kExitInterrupted = 130;

    CommandOutput(std::ostream& out, std::ostream& err) : out_(out), err_(err) {}

    // Tells the problem and answers the exit code given.
    int Fail(int code, const std::string& message);
    // Writes text to the standard output; kExitDone, or kExitFailed with the
    // system's reason told when not every byte got through.
    int Write(const std::string& text, const std::string& what);

    std::ostream& Out() { return out_; }
    std::ostream& Err() { return err_; }

private:
    std::ostream& out_;
    std::ostream& err_;
};

}  // namespace veltrap
