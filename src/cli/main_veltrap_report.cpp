#include "cli/ReportCommand.h"
#include "cli/SignalWatch.h"
#include "net/CurlGlobal.h"

#include <unistd.h>

#include <iostream>

int main(int argc, char** argv) {
    // libcurl's global set-up must happen before any thread starts.
    const veltrap::CurlGlobal curl;
    if (!curl.Ok()) {
        std::cerr << "veltrap-report: the HTTP library could not be set up\n";
        return veltrap::ReportCommand::kExitFailed;
    }
    veltrap::SignalWatch signals;
    veltrap::ReportCommand command(std::cout, std::cerr, isatty(STDERR_FILENO) == 1, &signals);
    const int code = command.Run(argc, argv);
    // A run cut short ends as the shell expects of the signal that cut it:
    // 130 for Ctrl-C, 143 for SIGTERM, 129 for SIGHUP.
    if (code == veltrap::ReportCommand::kExitInterrupted && signals.FirstSignal() != 0) {
        return 128 + signals.FirstSignal();
    }
    return code;
}
