#pragma once

#include "engine/RunReport.h"
#include "engine/RunResult.h"
#include "engine/ServiceConfig.h"
#include "history/HistoryRun.h"
#include "history/RecordRun.h"
#include "history/RunChanges.h"

#include <atomic>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace veltrap {

class ProgressPrinter;

// The headless report: reads the command line, runs one whole report and
// writes its outputs. Ctrl-C, SIGTERM and SIGHUP arrive as a rising count of
// interrupts: the first cancels the run as the Cancel button does, and a
// second also ends the fetches in flight. A run cut short returns
// kExitInterrupted, the code of Ctrl-C; the program's entry, which knows the
// signal, turns it into that signal's code.
class ReportCommand {
public:
    static constexpr int kExitDone = 0;
    static constexpr int kExitFailed = 1;
    static constexpr int kExitUsage = 2;
    static constexpr int kExitInterrupted = 130;

    ReportCommand(std::ostream& out, std::ostream& err, bool errIsTerminal,
                  const std::atomic<int>& interrupts);

    int Run(int argc, const char* const* argv);

private:
    struct Options {
        std::string configPath;
        std::string connectTo;
        std::optional<int> backlinkPages;
        std::optional<int> rankingPages;
        std::optional<int> jobs;
        std::string outFolder;
        std::string htmlFile;
        bool demo = false;
        int demoLatencyMs = 0;
        int demoSize = 0;
        bool quiet = false;
        std::vector<std::string> importFiles;
        bool printConfig = false;
        std::string historyFile;
        bool noHistory = false;
        std::string historyListSite;
        std::string changesSite;
        std::string site;
    };

    std::optional<int> Parse(int argc, const char* const* argv, Options& options);
    RunResult Execute(const RunRequest& request, const ServiceConfig& config, bool quiet,
                      HistoryRun& facts);
    // Stores the ended run and compares it with the site's previous one. A
    // history that cannot be used is told on stderr and costs nothing else.
    RecordedRun Remember(const Options& options, const HistoryRun& facts, const RunResult& outcome);
    // --history-list and --changes, which read the history and run nothing.
    int ShowHistory(const Options& options);
    std::filesystem::path HistoryFile(const Options& options);
    void WatchInterrupts(RunShared& shared, ProgressPrinter* printer, int& handled);
    int Fail(int code, const std::string& message);
    // Writes text to the standard output; kExitDone, or kExitFailed with the
    // system's reason told when not every byte got through.
    int WriteOut(const std::string& text, const std::string& what);

    std::ostream& out_;
    std::ostream& err_;
    bool errIsTerminal_;
    const std::atomic<int>& interrupts_;
};

}  // namespace veltrap
