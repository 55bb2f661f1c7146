#include "app/ReportWorkers.h"

#include "engine/RunState.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

namespace veltrap {
namespace {

// A run that goes on until its transfers are aborted, as one inside a fetch.
void RunUntilAborted(const RunRequest&, const ServiceConfig&, RunShared& shared) {
    while (!shared.Session().Aborted()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

TEST(ReportWorkersTest, EveryRunHasItsOwnSharedState) {
    ReportWorkers workers(RunUntilAborted);
    const auto first = workers.Start({}, {});
    const auto second = workers.Start({}, {});
    EXPECT_NE(first.get(), second.get());
    EXPECT_EQ(first->runState.load(), kRunStarted);
    EXPECT_TRUE(ReportWorkers::Cancel(*first));
    EXPECT_EQ(second->runState.load(), kRunStarted);
    EXPECT_FALSE(second->Session().Aborted());
    workers.StopAll();
    EXPECT_EQ(workers.Count(), 0u);
}

TEST(ReportWorkersTest, CancelOnlyStopsARunStillGoing) {
    for (const int going : {kRunStarted, kRunShowing, kRunNewLine}) {
        RunShared run(HttpOptions{});
        run.runState.store(going);
        EXPECT_TRUE(ReportWorkers::Cancel(run));
        EXPECT_EQ(run.runState.load(), kRunCancelled);
        EXPECT_TRUE(run.Session().Aborted());
    }
    for (const int ended : {kRunIdle, kRunCancelled}) {
        RunShared run(HttpOptions{});
        run.runState.store(ended);
        EXPECT_FALSE(ReportWorkers::Cancel(run));
        EXPECT_EQ(run.runState.load(), ended);
        EXPECT_FALSE(run.Session().Aborted());
    }
}

TEST(ReportWorkersTest, FinishedWorkersAreJoinedWithoutWaitingForOthers) {
    std::atomic<int> finished{0};
    ReportWorkers workers(
        [&finished](const RunRequest& request, const ServiceConfig& config, RunShared& shared) {
            if (request.siteText == "slow") {
                RunUntilAborted(request, config, shared);
            }
            finished.fetch_add(1);
        });
    const auto slow = workers.Start(RunRequest{"slow", 1, 1}, {});
    workers.Start(RunRequest{"quick", 1, 1}, {});
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (workers.Count() > 1 && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        workers.JoinFinished();
    }
    EXPECT_EQ(workers.Count(), 1u);
    EXPECT_EQ(finished.load(), 1);
    workers.StopAll();
    EXPECT_EQ(slow->runState.load(), kRunCancelled);
    EXPECT_EQ(finished.load(), 2);
}

}  // namespace
}  // namespace veltrap
