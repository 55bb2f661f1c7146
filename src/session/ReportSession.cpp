#include "session/ReportSession.h"

#include "base/UtcTimestamp.h"
#include "engine/DisavowList.h"
#include "engine/SiteKey.h"
#include "export/RunFacts.h"
#include "history/HistoryStore.h"
#include "history/RecordRun.h"
#include "services/backlinkimport/BacklinkImport.h"
#include "session/ReportOutputs.h"

#include <exception>
#include <filesystem>
#include <memory>
#include <system_error>
#include <utility>
#include <vector>

namespace veltrap {
namespace {

// The linking pages the site's latest stored run kept, in its order; none
// when the history holds no run of the site yet.
Result<std::vector<std::string>> PreviouslyKept(const std::filesystem::path& file,
                                                const std::string& siteKey) {
    std::error_code error;
    if (file.empty() || !std::filesystem::exists(file, error)) {
        return std::vector<std::string>();
    }
    const auto unreadable = [](const std::string& reason) {
        return Failure{"the pages of the previous run cannot be checked again: " + reason};
    };
    HistoryStore store;
    if (const Status opened = store.OpenToRead(file); !opened) {
        return unreadable(opened.reason());
    }
    const Result<std::vector<HistoryRun>> latest = store.Runs(siteKey, 1);
    if (!latest) {
        return unreadable(latest.reason());
    }
    if (latest->empty()) {
        return std::vector<std::string>();
    }
    Result<std::vector<std::string>> kept = store.KeptUrls(latest->front().id);
    if (!kept) {
        return unreadable(kept.reason());
    }
    return std::move(kept).value();
}

}  // namespace

Result<ReportSession::Prepared> ReportSession::Prepare(SessionRequest request) {
    static const RunStop kNeverStopped;
    return Prepare(std::move(request), kNeverStopped);
}

Result<ReportSession::Prepared> ReportSession::Prepare(SessionRequest request,
                                                       const RunStop& importStop) {
    Result<RunServices> services = RunServices::Make(request.config);
    if (!services) {
        return services.failure();
    }
    Result<std::string> browser = request.config.CheckRender();
    if (!browser) {
        return browser.failure();
    }
    RunRequest& run = request.run;
    if (MakeSiteKey(run.siteText).empty()) {
        return Failure{NamesNoSite(run.siteText), true};
    }
    std::string importSummary;
    if (!request.importFiles.empty()) {
        // Every file is read whole before anything is sent.
        auto imported = BacklinkImport::Read(request.importFiles, importStop);
        if (!imported) {
            return imported.failure();
        }
        run.imported = std::move(imported).value();
        importSummary = run.imported->Summary();
    }
    if (!request.disavowFile.empty()) {
        Result<DisavowList> disavow = DisavowList::Read(request.disavowFile);
        if (!disavow) {
            return disavow.failure();
        }
        run.disavow = std::make_shared<const DisavowList>(std::move(disavow).value());
    }
    if (request.recheckPrevious && request.history) {
        Result<std::vector<std::string>> kept =
            PreviouslyKept(*request.history, MakeSiteKey(run.siteText));
        if (!kept) {
            return kept.failure();
        }
        run.recheck = std::move(kept).value();
    }
    if (Status ready = ReportOutputs::Prepare(request.outFolder, request.htmlFile); !ready) {
        return ready.failure();
    }
    RunPlan plan = RunPlan::Make(run, std::move(services).value(), request.config);
    return Prepared{std::move(request), std::move(plan), std::move(importSummary),
                    std::move(browser).value()};
}

ReportSession::ReportSession(Prepared prepared, SessionEvents events, Pipeline pipeline)
    : prepared_(std::move(prepared)),
      events_(std::move(events)),
      pipeline_(std::move(pipeline)),
      http_(prepared_.request.config.http, stop_) {
    const ServiceConfig& config = prepared_.request.config;
    if (config.render.mode != RenderOptions::Mode::kOff) {
        // Prepare found the browser; should it have gone since, the renders
        // fail and say so. It takes the proxy the run's own requests take.
        renderer_.emplace(config.render,
                          BrowserCommand(prepared_.browser, config.http.userAgent,
                                         config.http.connectTo, config.http.proxy),
                          config.http.maxBodyBytes, stop_, &http_.Scheduler());
    }
    thread_ = std::thread([this] { Work(); });
}

ReportSession::~ReportSession() {
    // Whoever lets the session go no longer listens: the run ends at once,
    // without a line; what it already gathered is still stored.
    stop_.Abort();
    thread_.join();
}

bool ReportSession::Cancel() {
    return Stop(false);
}

bool ReportSession::Abort() {
    return Stop(true);
}

const SessionEnd& ReportSession::Wait() {
    std::unique_lock lock(mutex_);
    ended_.wait(lock, [this] { return end_.has_value(); });
    return *end_;
}

bool ReportSession::Tell(const std::string& line) {
    std::lock_guard lock(mutex_);
    if (stop_.Cancelled()) {
        return false;
    }
    if (events_.status) {
        events_.status(line);
    }
    return true;
}

bool ReportSession::Stop(bool abort) {
    std::lock_guard lock(mutex_);
    // Records that are all done are kept whole: the history and the outputs
    // are written whatever comes.
    if (recordsDone_) {
        return false;
    }
    const bool stopped = abort ? stop_.Abort() : stop_.Cancel();
    if (stopped && events_.status) {
        events_.status(std::string(kCancelledStatus));
    }
    return stopped;
}

Result<RunResult> ReportSession::RunPipeline() {
    const RunContext context{
        stop_, http_,
        RunProgress{[this](const std::string& line) { return Tell(line); }, events_.recordsDone},
        renderer_ ? &*renderer_ : nullptr};
    // An exception must not leave the session's thread, where it would end
    // the program; the run ends with the reason instead.
    try {
        return pipeline_(prepared_.plan, context);
    } catch (const std::exception& error) {
        return Failure{error.what()};
    } catch (...) {
        return Failure{"an unknown error"};
    }
}

void ReportSession::Work() {
    const auto started = std::chrono::steady_clock::now();
    std::string startedAt = UtcTimestamp(std::chrono::system_clock::now());
    // What the history notes of the request is taken now, so that the run
    // can let go of a large import once its addresses are records.
    std::optional<HistoryRun> toStore;
    if (prepared_.request.history) {
        toStore = RunToStore(prepared_.request.run, prepared_.request.config);
    }
    prepared_.request.run.imported.reset();
    Result<RunResult> ran = RunPipeline();
    {
        // From here on a cancel comes too late: the result tells whether
        // one came before.
        std::lock_guard lock(mutex_);
        recordsDone_ = true;
        if (ran) {
            ran->cancelled = ran->cancelled || stop_.Cancelled();
        }
    }
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - started);
    SessionEnd end;
    if (ran) {
        end = Conclude(std::move(ran).value(), took, std::move(startedAt), std::move(toStore));
    } else {
        Tell("The report stopped: " + ran.reason() + "\r\n");
        end.report = ran.failure();
        end.took = took;
    }
    if (events_.finished) {
        events_.finished(end);
    }
    {
        std::lock_guard lock(mutex_);
        end_ = std::move(end);
    }
    ended_.notify_all();
}

SessionEnd ReportSession::Conclude(RunResult result, std::chrono::milliseconds took,
                                   std::string startedAt, std::optional<HistoryRun> toStore) {
    const SessionRequest& request = prepared_.request;
    const RunRequest& asked = request.run;
    SessionEnd end;
    end.took = took;
    FinishedReport report;
    report.facts = RunFacts(asked, request.config, std::chrono::system_clock::now());
    if (toStore) {
        HistoryRun& run = *toStore;
        run.siteKey = result.siteKey;
        run.startedAt = std::move(startedAt);
        run.endedAt = UtcTimestamp(std::chrono::system_clock::now());
        run.cancelled = result.cancelled;
        RecordedRun recorded = RecordRun(*request.history, run, result);
        report.changes = std::move(recorded.changes);
        report.history = std::move(recorded.report);
        end.historyProblems = std::move(recorded.problems);
    }
    report.result = std::make_shared<const RunResult>(std::move(result));
    end.written = ReportOutputs::Write(request.outFolder, request.htmlFile, report);
    end.report = std::move(report);
    return end;
}

}  // namespace veltrap
