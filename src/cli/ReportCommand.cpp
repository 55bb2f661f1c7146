#include "cli/ReportCommand.h"

#include "base/UtcTimestamp.h"
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
#include "history/ChangesCsv.h"
#include "history/HistoryPath.h"
#include "history/HistoryStore.h"
#include "history/RecordRun.h"
#include "services/backlinkimport/BacklinkImport.h"
#include "store/SavedState.h"

#include <CLI/CLI.hpp>

#include <algorithm>
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

std::string NoSite(const std::string& typed) {
    return "SITE '" + typed +
           "' names no site once \"http://\", \"https://\", \"www.\" and blanks are taken out";
}

std::string Padded(std::string text, std::size_t width) {
    text.resize(std::max(text.size(), width), ' ');
    return text;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

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
    auto* history =
        app.add_option("--history", options.historyFile,
                       "Keep the history of runs in this SQLite database (default: "
                       "$XDG_DATA_HOME/Veltrap/history.sqlite, or "
                       "~/.local/share/Veltrap/history.sqlite). Every run that ends, completed "
                       "or cancelled, is stored; a history that cannot be used is told on "
                       "stderr and leaves the report and the exit code as they are")
            ->type_name("FILE");
    auto* noHistory = app.add_flag("--no-history", options.noHistory,
                                   "Store nothing in the history and write no changes.csv")
                          ->excludes(history);
    auto* historyList = app.add_option("--history-list", options.historyListSite,
                                       "Print the stored runs of SITE (id, start and end "
                                       "time, completed or cancelled, records kept and "
                                       "removed) and exit")
                            ->type_name("SITE")
                            ->excludes(noHistory)
                            ->excludes(demo);
    app.add_option("--changes", options.changesSite,
                   "Print the linking pages that are new, lost or changed between the two "
                   "latest stored runs of SITE and exit. With --out, every run also writes "
                   "changes.csv against the previous run of its site, when there is one")
        ->type_name("SITE")
        ->excludes(noHistory)
        ->excludes(demo)
        ->excludes(historyList);
    // Needed by every run, so only --print-config and the history's listings
    // go without it.
    auto* site =
        app.add_option("SITE", options.site, "The site address, as typed into the address box");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, out_, err_);
        return code == 0 ? kExitDone : kExitUsage;
    }
    const bool showsHistory = !options.historyListSite.empty() || !options.changesSite.empty();
    if (showsHistory && site->count() > 0) {
        return Fail(kExitUsage, "--history-list and --changes take their SITE as their value");
    }
    if (site->count() == 0 && !options.printConfig && !showsHistory) {
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
    if (!options.historyListSite.empty() || !options.changesSite.empty()) {
        return ShowHistory(options);
    }

    const Result<ServiceConfig> loaded =
        ConfigLocation::LoadInForce(options.configPath, ConfigLocation::DefaultPath());
    if (!loaded.ok()) {
        return Fail(kExitUsage, loaded.reason());
    }
    ServiceConfig config = loaded.value();
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
    if (const Status checked = config.CheckServices(); !checked.ok()) {
        return Fail(kExitUsage, checked.reason());
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
        return Fail(kExitUsage, NoSite(request.siteText));
    }

    if (!options.importFiles.empty()) {
        // Every file is read whole before anything is sent.
        const Result<std::shared_ptr<const ImportedBacklinks>> imported =
            BacklinkImport::Read(options.importFiles);
        if (!imported.ok()) {
            return Fail(imported.failure().inputAtFault ? kExitUsage : kExitFailed,
                        imported.reason());
        }
        err_ << imported.value()->Summary() << '\n';
        request.imported = imported.value();
    }

    if (!options.outFolder.empty()) {
        if (const Status prepared =
                PrepareReportFolder(options.outFolder, {"report.html", "changes.csv"});
            !prepared.ok()) {
            return Fail(kExitFailed, prepared.reason());
        }
    }
    const auto htmlFolder = std::filesystem::path(options.htmlFile).parent_path();
    std::error_code unseen;
    if (!htmlFolder.empty() && !std::filesystem::is_directory(htmlFolder, unseen)) {
        return Fail(kExitFailed,
                    "cannot write " + options.htmlFile + ": no folder " + htmlFolder.string());
    }
    try {
        HistoryRun run = RunToStore(request, config);
        const RunResult outcome = Execute(request, config, options.quiet, run);
        const RecordedRun remembered =
            options.noHistory ? RecordedRun{} : Remember(options, run, outcome);
        const HtmlReportFacts facts = RunFacts(request, config, std::time(nullptr));
        if (options.outFolder.empty()) {
            if (const int code = WriteOut(RunSummary(outcome), "the summary"); code != kExitDone) {
                return code;
            }
        } else {
            std::vector<ReportFile> extra = {
                {"report.html", HtmlReport(outcome, facts, remembered.report)}};
            if (remembered.changes) {
                extra.push_back({"changes.csv", ChangesCsv(*remembered.changes)});
            }
            if (const Status written = WriteReportFolder(options.outFolder, outcome, extra);
                !written.ok()) {
                return Fail(kExitFailed, written.reason());
            }
            // A changes.csv of an earlier run would pass for this run's.
            if (!remembered.changes) {
                std::error_code ignored;
                std::filesystem::remove(std::filesystem::path(options.outFolder) / "changes.csv",
                                        ignored);
            }
        }
        if (!options.htmlFile.empty()) {
            if (const Status html =
                    WriteHtmlReport(options.htmlFile, outcome, facts, remembered.report);
                !html.ok()) {
                return Fail(kExitFailed, html.reason());
            }
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

std::filesystem::path ReportCommand::HistoryFile(const Options& options) {
    return options.historyFile.empty() ? DefaultHistoryPath()
                                       : std::filesystem::path(options.historyFile);
}

RecordedRun ReportCommand::Remember(const Options& options, const HistoryRun& run,
                                    const RunResult& outcome) {
    RecordedRun recorded = RecordRun(HistoryFile(options), run, outcome);
    for (const std::string& problem : recorded.problems) {
        err_ << problem << '\n';
    }
    return recorded;
}

int ReportCommand::ShowHistory(const Options& options) {
    const bool listing = !options.historyListSite.empty();
    const std::string& typed = listing ? options.historyListSite : options.changesSite;
    const std::string siteKey = MakeSiteKey(typed);
    if (siteKey.empty()) {
        return Fail(kExitUsage, NoSite(typed));
    }
    const std::filesystem::path file = HistoryFile(options);
    if (file.empty()) {
        return Fail(kExitFailed,
                    "neither XDG_DATA_HOME nor HOME names a folder for the history; give "
                    "--history FILE");
    }
    // Only reading is asked for, so a history that does not exist yet is
    // one without runs, and no file is made for it.
    HistoryStore store;
    std::vector<HistoryRun> listed;
    std::error_code missing;
    if (std::filesystem::exists(file, missing) || missing) {
        if (const Status opened = store.Open(file); !opened) {
            return Fail(kExitFailed, opened.reason());
        }
        Result<std::vector<HistoryRun>> runs = store.Runs(siteKey, listing ? 0 : 2);
        if (!runs) {
            return Fail(kExitFailed, runs.reason());
        }
        listed = std::move(runs).value();
    }
    std::string text;
    if (listing) {
        if (listed.empty()) {
            return WriteOut("No run of " + siteKey + " is stored in " + file.string() + ".\n",
                            "the runs");
        }
        text = Padded("Id", 6) + Padded("Started", 22) + Padded("Ended", 22) +
               Padded("Outcome", 11) + Padded("Kept", 8) + "Removed\n";
        for (const HistoryRun& run : listed) {
            text += Padded(std::to_string(run.id), 6) + Padded(run.startedAt, 22) +
                    Padded(run.endedAt, 22) +
                    Padded(run.cancelled ? "cancelled" : "completed", 11) +
                    Padded(std::to_string(run.kept), 8) + std::to_string(run.removed) + "\n";
        }
        return WriteOut(text, "the runs");
    }
    if (listed.size() < 2) {
        return Fail(kExitFailed, file.string() + " holds " + std::to_string(listed.size()) +
                                     " run(s) of " + siteKey + ", and changes need two");
    }
    const Result<StoredRun> newer = store.Load(listed[0].id);
    if (!newer) {
        return Fail(kExitFailed, newer.reason());
    }
    const Result<StoredRun> older = store.Load(listed[1].id);
    if (!older) {
        return Fail(kExitFailed, older.reason());
    }
    const RunChanges changes = RunChanges::Compare(older->result, newer->result);
    text = "Changes of " + siteKey + " from run " + std::to_string(older->run.id) + " (" +
           older->run.startedAt + ") to run " + std::to_string(newer->run.id) + " (" +
           newer->run.startedAt + "):\n";
    if (newer->result.discovery.failed) {
        text += "Run " + std::to_string(newer->run.id) +
                " could not read its backlink source, so a page it did not see may not be "
                "lost: " +
                newer->result.DiscoveryProblem() + "\n";
    }
    const auto rows = changes.Rows();
    for (const auto& row : rows) {
        text += Padded(row[1], 9) + row[0];
        if (!row[2].empty()) {
            text += "  " + row[2] + ": " + Quoted(row[3]) + " -> " + Quoted(row[4]);
        }
        text += '\n';
    }
    if (rows.empty()) {
        text += "No changes.\n";
    }
    return WriteOut(text, "the changes");
}

RunResult ReportCommand::Execute(const RunRequest& request, const ServiceConfig& config, bool quiet,
                                 HistoryRun& run) {
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
    run.startedAt = UtcTimestamp(std::chrono::system_clock::now());
    std::future<RunResult> worker =
        std::async(std::launch::async, [&] { return RunReport(request, config, shared, events); });
    int handled = 0;
    while (worker.wait_for(kWatchPeriod) != std::future_status::ready) {
        WatchInterrupts(shared, printer.get(), handled);
    }
    RunResult outcome = worker.get();
    run.endedAt = UtcTimestamp(std::chrono::system_clock::now());
    run.siteKey = outcome.siteKey;
    run.cancelled = outcome.cancelled;
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
