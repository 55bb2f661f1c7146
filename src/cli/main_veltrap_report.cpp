#include "cli/ReportCommand.h"
#include "net/CurlGlobal.h"

#include <unistd.h>

#include <atomic>
#include <csignal>
#include <iostream>

namespace {

// Counted by the signal handler and read by the command's watch loop; a
// lock-free atomic is safe to touch from a handler. The first signal also
// decides the exit code of a run it cut short.
std::atomic<int> interrupts{0};
std::atomic<int> firstSignal{0};
static_assert(std::atomic<int>::is_always_lock_free);

void CountInterrupt(int number) {
    int none = 0;
    firstSignal.compare_exchange_strong(none, number);
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
    // Being told to end by the system or by a closed terminal is a request to
    // stop as Ctrl-C is: what was gathered is still written.
    struct sigaction action {};
    action.sa_handler = CountInterrupt;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int stop : {SIGINT, SIGTERM, SIGHUP}) {
        sigaction(stop, &action, nullptr);
    }

    veltrap::ReportCommand command(std::cout, std::cerr, isatty(STDERR_FILENO) == 1, interrupts);
    const int code = command.Run(argc, argv);
    // A run cut short ends as the shell expects of the signal that cut it:
    // 130 for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP.
    if (code == veltrap::ReportCommand::kExitInterrupted && firstSignal.load() != 0) {
        return 128 + firstSignal.load();
    }
    return code;
}
