#pragma once

#include "engine/RunReport.h"
#include "engine/RunShared.h"
#include "engine/ServiceConfig.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace veltrap {

// The worker threads of the report runs. Every run gets its own RunShared,
// which the worker and the window share; a cancelled worker that is still
// inside a fetch therefore only ever touches its own run. Threads are joined
// once they have returned, and all of them when the object goes.
class ReportWorkers {
public:
    using RunFunction = std::function<void(const RunRequest&, const ServiceConfig&, RunShared&)>;

    explicit ReportWorkers(RunFunction run);
    ~ReportWorkers();
    ReportWorkers(const ReportWorkers&) = delete;
    ReportWorkers& operator=(const ReportWorkers&) = delete;

    // Sets up a fresh run in the started state and starts its worker.
    std::shared_ptr<RunShared> Start(const RunRequest& request, const ServiceConfig& config);
    // Joins the workers that have already returned; never waits.
    void JoinFinished();
    // Cancels a run that is still going: its state becomes cancelled, its
    // status line the cancel's, and its transfers in flight end at once. Returns false when the run
    // had already ended or been cancelled.
    static bool Cancel(RunShared& shared);
    // Cancels every run still going and aborts its transfers in flight, then
    // waits for every worker.
    void StopAll();
    // Whether the worker of shared has returned, or was never one of these.
    bool Returned(const RunShared& shared) const;
    // Workers not yet joined.
    std::size_t Count() const { return workers_.size(); }

private:
    struct Worker {
        std::shared_ptr<RunShared> shared;
        std::shared_ptr<std::atomic<bool>> returned;
        std::thread thread;
    };

    RunFunction run_;
    std::vector<Worker> workers_;
};

}  // namespace veltrap
