#include "engine/RunShared.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace veltrap {
namespace {

const std::string kAborted = "Report aborted by user..\r\n";

TEST(RunSharedTest, PostStatusMarksTheLineNew) {
    RunShared shared{HttpOptions{}};
    shared.runState = kRunShowing;
    EXPECT_TRUE(shared.PostStatus("Examining a...\r\n"));
    EXPECT_EQ(shared.runState.load(), kRunNewLine);
    EXPECT_EQ(shared.StatusText(), "Examining a...\r\n");
}

TEST(RunSharedTest, StoppedRunsTakeNoLinesAndNoCancel) {
    for (int stopped : {kRunIdle, kRunCancelled}) {
        RunShared shared{HttpOptions{}};
        shared.runState = stopped;
        shared.SetStatusText("before");
        EXPECT_FALSE(shared.PostStatus("after"));
        EXPECT_FALSE(shared.Cancel(kAborted));
        EXPECT_EQ(shared.runState.load(), stopped);
        EXPECT_EQ(shared.StatusText(), "before");
    }
}

TEST(RunSharedTest, CancelWinsOverEveryLaterLine) {
    RunShared shared{HttpOptions{}};
    shared.runState = kRunStarted;
    EXPECT_TRUE(shared.Cancel(kAborted));
    EXPECT_FALSE(shared.PostStatus("Examining b...\r\n"));
    EXPECT_EQ(shared.runState.load(), kRunCancelled);
    EXPECT_EQ(shared.StatusText(), kAborted);
}

// A worker posting lines as fast as it can while the user cancels: whatever
// the interleaving, the cancel's text is the one left standing.
TEST(RunSharedTest, CancelTextSurvivesARacingWorker) {
    for (int round = 0; round < 200; ++round) {
        RunShared shared{HttpOptions{}};
        shared.runState = kRunShowing;
        std::atomic<bool> go{false};
        std::thread worker([&] {
            while (!go.load()) {
            }
            for (int line = 0; line < 50 && shared.PostStatus("line\r\n"); ++line) {
                int shown = kRunNewLine;
                shared.runState.compare_exchange_strong(shown, kRunShowing);
            }
        });
        go = true;
        const bool cancelled = shared.Cancel(kAborted);
        worker.join();
        EXPECT_TRUE(cancelled);
        EXPECT_EQ(shared.runState.load(), kRunCancelled);
        EXPECT_EQ(shared.StatusText(), kAborted);
    }
}

}  // namespace
}  // namespace veltrap
