#pragma once

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace veltrap::testing {

// A program started with its output going to two files, for tests that watch
// a real executable from outside.
class ChildProcess {
public:
    ChildProcess(const std::string& program, const std::vector<std::string>& arguments,
                 const std::string& stdoutPath, const std::string& stderrPath);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    void Signal(int signal);
    // The exit code, or -1 when the program did not exit normally.
    int Wait();
    // The same, or nothing when the program is still running after timeout.
    std::optional<int> WaitFor(std::chrono::milliseconds timeout);
    // The most memory the program held at once, known once it has been waited
    // for; 0 before.
    long PeakResidentKib() const { return peakKib_; }

private:
    pid_t pid_ = -1;
    long peakKib_ = 0;
};

}  // namespace veltrap::testing
