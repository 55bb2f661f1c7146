#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <thread>

namespace veltrap {

// Turns the signals that ask the program to stop (SIGINT, SIGTERM and SIGHUP)
// into calls on a thread of its own, where a run may be stopped as any caller
// stops it. The handler itself only writes the signal's number into a pipe,
// which is safe in a handler; nothing polls. One watch per process.
class SignalWatch {
public:
    SignalWatch();
    // Puts the signals' default handling back.
    ~SignalWatch();
    SignalWatch(const SignalWatch&) = delete;
    SignalWatch& operator=(const SignalWatch&) = delete;

    // From now on, calls react with how many stop signals have come so far,
    // at once when some came before, and then at each one. Empty stops
    // reacting.
    void React(std::function<void(int count)> react);
    // The first stop signal that came; 0 before any.
    int FirstSignal() const { return first_.load(); }

private:
    void Watch(int readEnd);

    std::atomic<int> first_{0};
    std::mutex mutex_;
    int count_ = 0;
    std::function<void(int count)> react_;
    int pipe_[2] = {-1, -1};
    std::thread thread_;
};

}  // namespace veltrap
