#include "engine/JobPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <latch>
#include <stdexcept>
#include <vector>

namespace veltrap {
namespace {

TEST(JobPoolTest, OneThreadRunsTheJobsInTheOrderTheyCome) {
    std::vector<int> ran;
    JobPool pool(1);
    for (int index = 0; index < 50; ++index) {
        pool.Submit([&ran, index] { ran.push_back(index); });
    }
    pool.Wait();
    ASSERT_EQ(ran.size(), 50U);
    for (int index = 0; index < 50; ++index) {
        EXPECT_EQ(ran[static_cast<std::size_t>(index)], index);
    }
}

// Every thread of a large pool takes a job at once: each of the first jobs
// waits for all the others to have begun, which only ends if none is left
// waiting for a thread that was never woken. Rounds after the first reuse the
// same threads, and Wait returns only once every job has ended.
TEST(JobPoolTest, AllThreadsOfALargePoolWorkSideBySideRoundAfterRound) {
    constexpr int kThreads = 96;
    JobPool pool(kThreads);
    std::atomic<int> ended{0};
    for (int round = 0; round < 3; ++round) {
        std::latch begun(kThreads);
        for (int job = 0; job < kThreads; ++job) {
            pool.Submit([&] {
                begun.arrive_and_wait();
                ended.fetch_add(1);
            });
        }
        pool.Wait();
        EXPECT_EQ(ended.load(), kThreads * (round + 1));
    }
}

TEST(JobPoolTest, WaitTellsAJobsFailureOnceAfterTheOtherJobsEnded) {
    JobPool pool(4);
    std::atomic<int> ended{0};
    for (int job = 0; job < 20; ++job) {
        pool.Submit([&ended, job] {
            if (job == 7) {
                throw std::runtime_error("job 7 failed");
            }
            ended.fetch_add(1);
        });
    }
    EXPECT_THROW(pool.Wait(), std::runtime_error);
    EXPECT_EQ(ended.load(), 19);
    EXPECT_NO_THROW(pool.Wait());
}

}  // namespace
}  // namespace veltrap
