#include "cli/ReportCommand.h"

#include "base/Version.h"
#include "cli/DemoSetup.h"
#include "cli/ProgressPrinter.h"
#include "cli/RunSummary.h"
#include "demo/DemoWeb.h"
#include "engine/ConfigLocation.h"
#include "engine/ServiceConfigText.h"
#include "engine/SiteKey.h"
#include "export/HtmlReport.h"
#include "export/ReportFolder.h"
#include "export/RunFacts.h"
#include "services/backlinkimport/BacklinkImport.h"
#include "store/SavedState.h"

#include <CLI/CLI.hpp>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <ctime>
#include <exception>
#include <filesystem>
#include <future>
#include <limits>
#include <memory>
#include <system_error>

namespace veltrap {
namespace {

constexpr const char* kProgram = "veltrap-report";
constexpr auto kWatchPeriod = std::chrono::milliseconds(50);

}  // namespace

ReportCommand::ReportCommand(std::ostream& out, std::ostream& err, bool errIsTerminal,
                             const std::atomic<int>& interrupts)
    : out_(out), err_(err), errIsTerminal_(errIsTerminal), interrupts_(interrupts) {}

int ReportCommand::Fail(int code, const std::string& message) {
    err_ << kProgram << ": " << message << '\n';
    return code;
}

int ReportCommand::WriteOut(const std::string& text, const std::string& what) {
    errno = 0;
    out_ << text;
    // A full disk may only show once the buffered bytes are handed on.
    out_.flush();
    if (out_) {
        return kExitDone;
    }
    const int failure = errno;
    return Fail(kExitFailed,
                "cannot write " + what + ": " +
                    (failure != 0 ? std::strerror(failure) : "the output was refused"));
}

std::optional<int> ReportCommand::Parse(int argc, const char* const* argv, Options& options) {
    CLI::App app("Runs one whole link analysis report for SITE and writes what it found.",
                 kProgram);
    app.set_version_flag("--version", VersionLine(kProgram), "Print the version and exit");
    app.add_option("--config", options.configPath,
                   "The service configuration, an INI file (default: "
                   "~/.config/veltrap/services.ini when it exists)");
    auto* connectTo = app.add_option("--connect-to", options.connectTo,
                                     "Send every connection to HOST:PORT, overriding connect_to");
    app.add_option("--backlink-pages", options.backlinkPages,
                   "Result pages of 50 backlinks to read (default: the saved setting)")
        ->check(CLI::Range(0, std::numeric_limits<int>::max()));
    app.add_option("--ranking-pages", options.rankingPages,
                   "Search result pages to read per engine and query (default: the saved setting)")
        ->check(CLI::Range(0, std::numeric_limits<int>::max()));
    app.add_option("--jobs", options.jobs,
                   "Records examined side by side (default: the configuration's jobs, 16)")
        ->check(CLI::Range(1, 256));
    app.add_option("--out", options.outFolder, "Write records.json into this folder");
    app.add_option("--html", options.htmlFile, "Write the report as one self-contained HTML file")
        ->type_name("FILE");
    auto* demo = app.add_flag("--demo", options.demo, "Run against the built-in demo web")
                     ->excludes(connectTo);
    app.add_flag("--print-config", options.printConfig,
                 "Print the service configuration in force, secrets masked, and exit")
        ->excludes(demo);
    options.demoLatencyMs = DemoOptions{}.latencyMs;
    app.add_option("--demo-latency-ms", options.demoLatencyMs,
                   "Delay of every demo answer in milliseconds (default " +
                       std::to_string(options.demoLatencyMs) + ")")
        ->check(CLI::Range(0, 60000))
        ->needs(demo);
    app.add_option("--demo-size", options.demoSize,
                   "Backlinks of every demo site (default: each site its own number)")
        ->check(CLI::Range(0, 10000))
        ->needs(demo);
    app.add_option("--import", options.importFiles,
                   "Take the backlinks from this exported file (a list, a table or a zip of "
                   "tables) instead of the backlink source; may be given again")
        ->type_name("FILE")
        ->expected(1)
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeAll);
    app.add_flag("-q,--quiet", options.quiet, "Print no progress");
    // Needed by every run, so only --print-config goes without it.
    auto* site =
        app.add_option("SITE", options.site, "The site address, as typed into the address box");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, out_, err_);
        return code == 0 ? kExitDone : kExitUsage;
    }
    if (site->count() == 0 && !options.printConfig) {
        return Fail(kExitUsage, "SITE is required; run with --help for more information");
    }
    // An empty value given on purpose is a mistake, not a wish for no override.
    if (connectTo->count() > 0 && !ServiceConfig::IsHostAndPort(options.connectTo)) {
        return Fail(kExitUsage, "--connect-to needs HOST:PORT with a port from 1 to 65535, not '" +
                                    options.connectTo + "'");
    }
    return std::nullopt;
}

int ReportCommand::Run(int argc, const char* const* argv) {
    Options options;
    if (const auto code = Parse(argc, argv, options)) {
        return *code;
    }

    ServiceConfigResult loaded =
        ConfigLocation::LoadInForce(options.configPath, ConfigLocation::DefaultPath());
    if (!loaded.ok()) {
        return Fail(kExitUsage, loaded.error);
    }
    ServiceConfig config = loaded.config;
    DemoSetup demo;
    if (options.demo) {
        demo = StartDemoWeb(config, options.demoLatencyMs, options.demoSize);
        if (!demo.error.empty()) {
            return Fail(kExitFailed, "cannot start the demo web: " + demo.error);
        }
        config = demo.config;
    }
    if (!options.connectTo.empty()) {
        config.http.connectTo = options.connectTo;
    }
    if (options.jobs) {
        config.http.jobs = *options.jobs;
    }
    if (options.printConfig) {
        const std::string text = ServiceConfigText(
            config, ConfigLocation::Describe(config, ConfigLocation::DefaultPath()));
        return WriteOut(text, "the configuration");
    }
    if (const std::string problem = config.CheckServices(); !problem.empty()) {
        return Fail(kExitUsage, problem);
    }

    RunRequest request;
    request.siteText = options.site;
    // Limits not given for this run are the ones the window saved last.
    const SavedState saved = options.backlinkPages && options.rankingPages
                                 ? SavedState{}
                                 : SavedState::Load(SettingsStore());
    request.maxBacklinkPages = options.backlinkPages.value_or(saved.maxBacklinkPages);
    request.maxRankingPages = options.rankingPages.value_or(saved.maxRankingPages);
    if (MakeSiteKey(request.siteText).empty()) {
        return Fail(kExitUsage, "SITE '" + request.siteText +
                                    "' names no site once \"http://\", \"https://\", \"www.\" "
                                    "and blanks are taken out");
    }

    if (!options.importFiles.empty()) {
        // Every file is read whole before anything is sent.
        const ImportOutcome imported = BacklinkImport::Read(options.importFiles);
        if (!imported.ok()) {
            return Fail(
                imported.refusal == ImportOutcome::Refusal::kUnreadable ? kExitFailed : kExitUsage,
                imported.message);
        }
        err_ << imported.imported->Summary() << '\n';
        request.imported = imported.imported;
    }

    if (!options.outFolder.empty()) {
        if (const ReportFolderResult prepared =
                PrepareReportFolder(options.outFolder, {"report.html"});
            !prepared.ok()) {
            return Fail(kExitFailed, prepared.error);
        }
    }
    const auto htmlFolder = std::filesystem::path(options.htmlFile).parent_path();
    std::error_code unseen;
    if (!htmlFolder.empty() && !std::filesystem::is_directory(htmlFolder, unseen)) {
        return Fail(kExitFailed,
                    "cannot write " + options.htmlFile + ": no folder " + htmlFolder.string());
    }
    try {
        const RunResult outcome = Execute(request, config, options.quiet);
        const HtmlReportFacts facts = RunFacts(request, config, std::time(nullptr));
        if (options.outFolder.empty()) {
            if (const int code = WriteOut(RunSummary(outcome), "the summary"); code != kExitDone) {
                return code;
            }
        } else if (const ReportFolderResult written = WriteReportFolder(
                       options.outFolder, outcome, {{"report.html", HtmlReport(outcome, facts)}});
                   !written.ok()) {
            return Fail(kExitFailed, written.error);
        }
        std::string error;
        if (!options.htmlFile.empty() &&
            !WriteHtmlReport(options.htmlFile, outcome, facts, error)) {
            return Fail(kExitFailed, error);
        }
        if (outcome.cancelled) {
            return kExitInterrupted;
        }
        // What was gathered is written, but a source that could not be read
        // must not pass for a site without backlinks.
        if (outcome.discovery.failed) {
            return Fail(kExitFailed, outcome.DiscoveryProblem());
        }
        return kExitDone;
    } catch (const std::exception& failure) {
        return Fail(kExitFailed, std::string("the run failed: ") + failure.what());
    }
}

RunResult ReportCommand::Execute(const RunRequest& request, const ServiceConfig& config,
                                 bool quiet) {
    RunShared shared(config.http);
    std::unique_ptr<ProgressPrinter> printer;
    RunEvents events;
    if (!quiet) {
        printer = std::make_unique<ProgressPrinter>(err_, errIsTerminal_);
        events.status = [&printer](const std::string& line) { printer->Status(line); };
        events.recordDone = [&printer](std::size_t done, std::size_t total) {
            printer->RecordDone(done, total);
        };
    }

    shared.runState = kRunStarted;
    std::future<RunResult> worker =
        std::async(std::launch::async, [&] { return RunReport(request, config, shared, events); });
    int handled = 0;
    while (worker.wait_for(kWatchPeriod) != std::future_status::ready) {
        WatchInterrupts(shared, printer.get(), handled);
    }
    RunResult outcome = worker.get();
    if (printer) {
        printer->Finish();
    }
    return outcome;
}

void ReportCommand::WatchInterrupts(RunShared& shared, ProgressPrinter* printer, int& handled) {
    const int interrupts = interrupts_.load();
    if (interrupts >= 1 && handled < 1) {
        handled = 1;
        // Cancel as the Cancel button does, unless the run has just ended.
        const std::string line(kCancelledStatus);
        if (shared.Cancel(line) && printer != nullptr) {
            printer->Status(line);
        }
    }
    if (interrupts >= 2 && handled < 2) {
        handled = 2;
        shared.Session().Abort();
    }
}

}  // namespace veltrap
