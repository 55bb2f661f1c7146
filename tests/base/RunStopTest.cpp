#include "base/RunStop.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stop_token>
#include <thread>

namespace veltrap {
namespace {

TEST(RunStopTest, ACancelRefusesFetchesOnlyOnceRecordsAreExamined) {
    RunStop stop;
    int woken = 0;
    const std::stop_callback wake(stop.FetchesRefused(), [&woken] { ++woken; });
    EXPECT_TRUE(stop.Cancel());
    EXPECT_FALSE(stop.Cancel());
    EXPECT_TRUE(stop.Cancelled());
    // Discovery goes on after a cancel; the records it would lead to do not.
    EXPECT_FALSE(stop.RefusesFetches());
    EXPECT_EQ(woken, 0);
    stop.BeginRecords();
    EXPECT_TRUE(stop.RefusesFetches());
    EXPECT_FALSE(stop.Aborted());
    EXPECT_EQ(woken, 1);
}

TEST(RunStopTest, AnAbortCancelsAndRefusesAtOnce) {
    RunStop stop;
    bool aborted = false;
    const std::stop_callback wake(stop.AbortRequested(), [&aborted] { aborted = true; });
    EXPECT_TRUE(stop.Abort());
    EXPECT_TRUE(aborted);
    EXPECT_TRUE(stop.Cancelled());
    EXPECT_TRUE(stop.RefusesFetches());
    // A cancel after the abort stops nothing more.
    EXPECT_FALSE(stop.Cancel());
    EXPECT_FALSE(stop.Abort());
}

// A cancel racing the start of the records: whichever comes second sees the
// other, so fetches always end up refused.
TEST(RunStopTest, ACancelRacingTheRecordsIsNeverMissed) {
    for (int round = 0; round < 500; ++round) {
        RunStop stop;
        std::atomic<bool> go{false};
        std::thread canceller([&] {
            while (!go.load()) {
            }
            stop.Cancel();
        });
        go = true;
        stop.BeginRecords();
        canceller.join();
        ASSERT_TRUE(stop.RefusesFetches());
        ASSERT_TRUE(stop.FetchesRefused().stop_requested());
    }
}

}  // namespace
}  // namespace veltrap
