#include "cli/ReportOptions.h"

#include "base/Version.h"
#include "cli/CommandOutput.h"
#include "demo/DemoWeb.h"
#include "engine/ServiceConfig.h"

#include <CLI/CLI.hpp>

#include <limits>

namespace veltrap {
namespace {

constexpr const char* kProgram = "veltrap-report";

}  // namespace

std::optional<int> ReportOptions::Parse(int argc, const char* const* argv, std::ostream& out,
                                        std::ostream& err) {
    ReportOptions& options = *this;
    CommandOutput output(out, err);
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
    app.add_flag("--recheck-previous", options.recheckPrevious,
                 "Also examine every page the site's latest stored run kept that the backlink "
                 "source no longer lists, so that its link is verified rather than unlisted "
                 "(default: [monitor] recheck_previous)")
        ->excludes(noHistory);
    app.add_flag("--alert-on-lost", options.alertOnLost,
                 "Exit with 3 when the changes since the previous stored run hold a lost link");
    app.add_flag("--notify", options.notify,
                 "Show a desktop notification when the changes since the previous stored run "
                 "hold a lost link");
    app.add_option("--disavow", options.disavowFile,
                   "Mark the linking pages this disavow file names (\"domain:\" lines and page "
                   "addresses) and keep them out of the lost links")
        ->type_name("FILE");
    // Needed by every run, so only --print-config and the history's listings
    // go without it.
    auto* site =
        app.add_option("SITE", options.site, "The site address, as typed into the address box");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        const int code = app.exit(error, out, err);
        return code == 0 ? CommandOutput::kExitDone : CommandOutput::kExitUsage;
    }
    const bool showsHistory = ShowsHistory();
    if (showsHistory && site->count() > 0) {
        return output.Fail(CommandOutput::kExitUsage,
                           "--history-list and --changes take their SITE as their value");
    }
    if (site->count() == 0 && !options.printConfig && !showsHistory) {
        return output.Fail(CommandOutput::kExitUsage,
                           "SITE is required; run with --help for more information");
    }
    // An empty value given on purpose is a mistake, not a wish for no override.
    if (connectTo->count() > 0 && !ServiceConfig::IsHostAndPort(options.connectTo)) {
        return output.Fail(CommandOutput::kExitUsage,
                           "--connect-to needs HOST:PORT with a port from 1 to 65535, not '" +
                               options.connectTo + "'");
    }
    return std::nullopt;
}

}  // namespace veltrap
