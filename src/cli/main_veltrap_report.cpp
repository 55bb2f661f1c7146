#include "cli/ReportCommand.h"
#include "net/CurlGlobal.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <iostream>

namespace {

// Counted by the signal handler and read by the command's watch loop; a
// lock-free atomic is safe to touch from a handler.
std::atomic<int> interrupts{0};
static_assert(std::atomic<int>::is_always_lock_free);

void CountInterrupt(int) {
    interrupts.fetch_add(1);
}

}  // namespace

int main(int argc, char** argv) {
    // libcurl's global set-up must happen before any thread starts.
    const veltrap::CurlGlobal curl;
    if (!curl.Ok()) {
        std::cerr << "veltrap-report: the HTTP library could not be set up\n";
        return veltrap::ReportCommand::kExitFailed;
    }
    struct sigaction action {};
    action.sa_handler = CountInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);

    veltrap::ReportCommand command(std::cout, std::cerr, isatty(STDERR_FILENO) == 1, interrupts);
    return command.Run(argc, argv);
}
