#pragma once

#include "base/Result.h"
#include "cli/CommandOutput.h"
#include "cli/ReportOptions.h"
#include "engine/ServiceConfig.h"

#include <memory>
#include <ostream>

namespace veltrap {

class DemoWeb;
class SignalWatch;

// The headless report: reads the command line, runs one whole report session
// and prints what it gives. Stop signals come through the watch: the first
// cancels the run as the Cancel button does, and a second also ends the
// fetches in flight. A run cut short returns kExitInterrupted, the code of
// Ctrl-C; the program's entry, which knows the signal, turns it into that
// signal's code.
class ReportCommand {
public:
    static constexpr int kExitDone = CommandOutput::kExitDone;
    static constexpr int kExitFailed = CommandOutput::kExitFailed;
    static constexpr int kExitUsage = CommandOutput::kExitUsage;
    static constexpr int kExitInterrupted = CommandOutput::kExitInterrupted;
    static constexpr int kExitLost = CommandOutput::kExitLost;

    // Without a watch, signals keep their default handling.
    ReportCommand(std::ostream& out, std::ostream& err, bool errIsTerminal,
                  SignalWatch* signals = nullptr);

    int Run(int argc, const char* const* argv);

private:
    // The configuration in force with the options applied; the demo web it
    // reaches is kept in demo_. Answers the exit code of a failure.
    Result<ServiceConfig> Configure(const ReportOptions& options);
    int RunReport(const ReportOptions& options, const ServiceConfig& config);

    CommandOutput output_;
    bool errIsTerminal_;
    SignalWatch* signals_;
    std::shared_ptr<DemoWeb> demo_;
};

}  // namespace veltrap
