#include "app/ReportWorkers.h"

#include "engine/RunState.h"

#include <algorithm>
#include <exception>
#include <string>
#include <utility>

namespace veltrap {
namespace {

// Leaves the reason as the status line and the run idle, so the window shows
// the line and takes its next run.
void EndWithError(RunShared& shared, const std::string& reason) {
    shared.PostStatus("The report stopped: " + reason + "\r\n");
    shared.stoppedOnError.store(true);
    shared.Finish();
}

}  // namespace

ReportWorkers::ReportWorkers(RunFunction run) : run_(std::move(run)) {}

ReportWorkers::~ReportWorkers() {
    StopAll();
}

std::shared_ptr<RunShared> ReportWorkers::Start(const RunRequest& request,
                                                const ServiceConfig& config) {
    JoinFinished();
    auto shared = std::make_shared<RunShared>(config.http);
    shared->runState.store(kRunStarted);
    auto returned = std::make_shared<std::atomic<bool>>(false);
    // The worker holds copies of everything it reads, so nothing it uses can
    // go away before it returns.
    std::thread thread([run = run_, request, config, shared, returned] {
        // An exception must not leave the thread, where it would end the
        // program; the run ends with the reason as its last line instead.
        try {
            run(request, config, *shared);
        } catch (const std::exception& error) {
            EndWithError(*shared, error.what());
        }
        returned->store(true);
    });
    workers_.push_back(Worker{shared, std::move(returned), std::move(thread)});
    return shared;
}

void ReportWorkers::JoinFinished() {
    std::erase_if(workers_, [](Worker& worker) {
        if (!worker.returned->load()) {
            return false;
        }
        worker.thread.join();
        return true;
    });
}

bool ReportWorkers::Returned(const RunShared& shared) const {
    return std::none_of(workers_.begin(), workers_.end(), [&](const Worker& worker) {
        return worker.shared.get() == &shared && !worker.returned->load();
    });
}

bool ReportWorkers::Cancel(RunShared& shared) {
    // The worker may move the state on at the same moment, so only a run
    // still going is cancelled, and its status line is the cancel's own.
    if (!shared.Cancel(std::string(kCancelledStatus))) {
        return false;
    }
    shared.Session().Abort();
    return true;
}

void ReportWorkers::StopAll() {
    for (Worker& worker : workers_) {
        Cancel(*worker.shared);
        worker.shared->Session().Abort();
    }
    for (Worker& worker : workers_) {
        worker.thread.join();
    }
    workers_.clear();
}

}  // namespace veltrap
