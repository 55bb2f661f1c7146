#include "cli/ReportCommand.h"

#include "base/RunStop.h"
#include "cli/DemoSetup.h"
#include "cli/DesktopNotice.h"
#include "cli/HistoryListing.h"
#include "cli/ProgressPrinter.h"
#include "cli/RunSummary.h"
#include "cli/SignalWatch.h"
#include "engine/ConfigLocation.h"
#include "engine/ServiceConfigText.h"
#include "session/ReportSession.h"
#include "store/SavedState.h"

#include <utility>

namespace veltrap {
namespace {

// "3 links lost on example.com".
std::string LostLinksNotice(std::size_t lost, const std::string& siteKey) {
    return std::to_string(lost) + (lost == 1 ? " link lost on " : " links lost on ") + siteKey;
}

// Bad input is bad usage; anything else that stops a run is a failure.
int ExitCodeOf(const Failure& failure) {
    return failure.inputAtFault ? CommandOutput::kExitUsage : CommandOutput::kExitFailed;
}

// What a person whose backlink source gave nothing at all can do next.
constexpr const char* kNextStep =
    ". Next: choose a backlink source ([backlinks] source in the configuration: "
    "bing-webmaster or dataforseo, with their keys), or import exported backlinks "
    "(--import FILE); --demo SITE shows a whole report made on a demo web.";

}  // namespace

ReportCommand::ReportCommand(std::ostream& out, std::ostream& err, bool errIsTerminal,
                             SignalWatch* signals)
    : output_(out, err), errIsTerminal_(errIsTerminal), signals_(signals) {}

int ReportCommand::Run(int argc, const char* const* argv) {
    ReportOptions options;
    if (const auto code = options.Parse(argc, argv, output_.Out(), output_.Err())) {
        return *code;
    }
    if (options.ShowsHistory()) {
        return HistoryListing(output_).Show(options);
    }
    const Result<ServiceConfig> config = Configure(options);
    if (!config) {
        return output_.Fail(ExitCodeOf(config.failure()), config.reason());
    }
    if (options.printConfig) {
        const std::string text = ServiceConfigText(
            *config, ConfigLocation::Describe(*config, ConfigLocation::DefaultPath()));
        return output_.Write(text, "the configuration");
    }
    return RunReport(options, *config);
}

Result<ServiceConfig> ReportCommand::Configure(const ReportOptions& options) {
    Result<ServiceConfig> loaded =
        ConfigLocation::LoadInForce(options.configPath, ConfigLocation::DefaultPath());
    // No run starts on a configuration that cannot be had, whatever kept it
    // from being read: that is bad usage of the command.
    if (!loaded) {
        return Failure{loaded.reason(), true};
    }
    ServiceConfig config = std::move(loaded).value();
    if (options.demo) {
        Result<DemoSetup> demo = StartDemoWeb(config, options.demoLatencyMs, options.demoSize);
        if (!demo) {
            return Failure{"cannot start the demo web: " + demo.reason()};
        }
        config = demo->config;
        demo_ = demo->web;
    }
    if (!options.connectTo.empty()) {
        config.http.connectTo = options.connectTo;
    }
    if (options.jobs) {
        config.http.jobs = *options.jobs;
    }
    return config;
}

int ReportCommand::RunReport(const ReportOptions& options, const ServiceConfig& config) {
    SessionRequest request;
    request.run.siteText = options.site;
    // Limits not given for this run are the ones the window saved last.
    const SavedState saved = options.backlinkPages && options.rankingPages
                                 ? SavedState{}
                                 : SavedState::Load(SettingsStore());
    request.run.maxBacklinkPages = options.backlinkPages.value_or(saved.maxBacklinkPages);
    request.run.maxRankingPages = options.rankingPages.value_or(saved.maxRankingPages);
    request.importFiles = options.importFiles;
    request.config = config;
    if (!options.noHistory) {
        request.history = HistoryListing::FileOf(options);
    }
    request.outFolder = options.outFolder;
    request.htmlFile = options.htmlFile;
    request.recheckPrevious = options.recheckPrevious || config.recheckPrevious;
    request.disavowFile = options.disavowFile;
    // The import files are read before the run exists, and a pipe or a
    // large archive may take as long as the user cares to wait: a signal
    // stops the import as it would the run.
    RunStop importStop;
    if (signals_ != nullptr) {
        signals_->React([&importStop](int) { importStop.Abort(); });
    }
    Result<ReportSession::Prepared> prepared =
        ReportSession::Prepare(std::move(request), importStop);
    if (signals_ != nullptr) {
        signals_->React({});
    }
    if (!prepared) {
        return output_.Fail(
            importStop.Cancelled() ? kExitInterrupted : ExitCodeOf(prepared.failure()),
            prepared.reason());
    }
    if (!prepared->importSummary.empty()) {
        output_.Err() << prepared->importSummary << '\n';
    }

    ProgressPrinter printer(output_.Err(), errIsTerminal_);
    SessionEvents events;
    if (!options.quiet) {
        events.status = [&printer](const std::string& line) { printer.Status(line); };
        events.recordsDone = [&printer](std::size_t done, std::size_t total) {
            printer.RecordDone(done, total);
        };
    }
    ReportSession session(std::move(prepared).value(), std::move(events));
    if (signals_ != nullptr) {
        signals_->React([&session](int count) {
            if (count >= 2) {
                session.Abort();
            } else {
                session.Cancel();
            }
        });
    }
    const SessionEnd& end = session.Wait();
    if (signals_ != nullptr) {
        signals_->React({});
    }
    printer.Finish();
    for (const std::string& problem : end.historyProblems) {
        output_.Err() << problem << '\n';
    }
    if (!end.report) {
        return output_.Fail(kExitFailed, "the run failed: " + end.report.reason());
    }
    const RunResult& outcome = *end.report->result;
    if (options.outFolder.empty()) {
        if (const int code = output_.Write(RunSummary(outcome), "the summary"); code != kExitDone) {
            return code;
        }
    }
    if (!end.written) {
        return output_.Fail(kExitFailed, end.written.reason());
    }
    if (outcome.cancelled) {
        return kExitInterrupted;
    }
    const std::size_t lost = end.report->changes ? end.report->changes->LostCount() : 0;
    if (options.notify && lost > 0) {
        if (const Status shown = DesktopNotice::Show(LostLinksNotice(lost, outcome.siteKey));
            !shown) {
            output_.Err() << "No desktop notification was shown: " << shown.reason() << '\n';
        }
    }
    // What was gathered is written, but a source that could not be read
    // must not pass for a site without backlinks.
    if (outcome.discovery.failed) {
        std::string problem = outcome.DiscoveryProblem();
        if (outcome.SourceFailedAtStart()) {
            problem += kNextStep;
        }
        return output_.Fail(kExitFailed, problem);
    }
    // Only a verified loss alerts: a page that could not be read, or that
    // nobody looked at, is no reason to wake anyone.
    if (options.alertOnLost && lost > 0) {
        return kExitLost;
    }
    return kExitDone;
}

}  // namespace veltrap
