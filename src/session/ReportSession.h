#pragma once

#include "base/Result.h"
#include "base/RunStop.h"
#include "engine/RunContext.h"
#include "engine/RunPlan.h"
#include "engine/RunReport.h"
#include "engine/RunResult.h"
#include "history/HistoryRun.h"
#include "net/HttpSession.h"
#include "render/PageRenderer.h"
#include "session/SessionEvents.h"
#include "session/SessionRequest.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

namespace veltrap {

// One report run from start to end, for the window and veltrap-report alike.
// Prepare checks the configuration and every input before anything is sent;
// the session then runs the report on a thread of its own, tells its
// listener what happens, and after the records stores the run in the
// history, compares it with the site's previous run and writes the outputs
// that were asked for. The one RunStop of the run is the session's: Cancel
// and Abort are the only ways to stop it.
class ReportSession {
public:
    // The status line a cancelled run leaves, whoever cancelled it.
    static constexpr std::string_view kCancelledStatus = "Report aborted by user..\r\n";

    // The report run itself; RunReport, unless a test stands in for it.
    using Pipeline = std::function<RunResult(RunPlan& plan, const RunContext& context)>;

    // A request whose configuration and inputs have been checked.
    struct Prepared {
        SessionRequest request;
        RunPlan plan;
        // What was imported, in words; "" without an import.
        std::string importSummary;
        // The browser's executable when pages are rendered; "" when not.
        std::string browser;
    };

    // Checks, in this order, that the configured services can run, that the
    // browser is there when pages are to be rendered, that the
    // typed address names a site, that the import files hold linking pages
    // and that the outputs can be written. Nothing is sent. The import ends
    // at the stop, refused with ImportFile::Stopped: the files are read
    // before the run and its own stop exist.
    static Result<Prepared> Prepare(SessionRequest request, const RunStop& importStop);
    // The same, for a caller whose import is never stopped.
    static Result<Prepared> Prepare(SessionRequest request);

    // Starts the run.
    ReportSession(Prepared prepared, SessionEvents events, Pipeline pipeline = RunReport);
    // Aborts a run still going and waits for the session's thread.
    ~ReportSession();
    ReportSession(const ReportSession&) = delete;
    ReportSession& operator=(const ReportSession&) = delete;

    // Stops a run whose records are not done yet at its next step, and tells
    // kCancelledStatus; answers whether it stopped the run. Once the records
    // are done the history and the outputs are written whatever comes.
    bool Cancel();
    // The same, and ends the transfers in flight at once.
    bool Abort();
    // Waits for the end of the session.
    const SessionEnd& Wait();

private:
    void Work();
    Result<RunResult> RunPipeline();
    bool Tell(const std::string& line);
    bool Stop(bool abort);
    // Stores the run as toStore, when the history keeps it, compares it and
    // writes its outputs.
    SessionEnd Conclude(RunResult result, std::chrono::milliseconds took, std::string startedAt,
                        std::optional<HistoryRun> toStore);

    Prepared prepared_;
    SessionEvents events_;
    Pipeline pipeline_;
    RunStop stop_;
    HttpSession http_;
    // The browser that reads pages again, when the configuration asks for it;
    // gone before the session's fetches end, whose host limits it holds.
    std::optional<PageRenderer> renderer_;
    // Held while a status line is told and while the run is stopped, so that
    // no line comes after the cancel's.
    std::mutex mutex_;
    bool recordsDone_ = false;
    std::condition_variable ended_;
    std::optional<SessionEnd> end_;
    // Started last, once everything it uses is there.
    std::thread thread_;
};

}  // namespace veltrap
