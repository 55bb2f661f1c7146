#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace veltrap {

// Runs jobs on a fixed number of threads, handing each job to the next idle
// thread in the order the jobs come. Submit waits until a thread has taken the
// job, so with one thread the jobs run strictly one after another, in order.
class JobPool {
public:
    explicit JobPool(std::size_t threads);
    // Waits for every job; a job's exception not collected by Wait is dropped.
    ~JobPool();
    JobPool(const JobPool&) = delete;
    JobPool& operator=(const JobPool&) = delete;

    void Submit(std::function<void()> job);
    // Waits until every job handed in has ended; rethrows the first exception
    // a job ended with.
    void Wait();

private:
    void Work();

    std::mutex mutex_;
    // Each change wakes only those it concerns: one idle thread for a job
    // handed over, the few callers of Submit for a thread freed, Wait for the
    // end. Waking every thread of a large pool on each change cost a run more
    // than its transfers did.
    std::condition_variable offeredChanged_;
    std::condition_variable slotsChanged_;
    std::condition_variable idleChanged_;
    std::optional<std::function<void()>> offered_;
    std::size_t busy_ = 0;
    bool closing_ = false;
    std::exception_ptr failure_;
    std::vector<std::thread> threads_;
};

}  // namespace veltrap
