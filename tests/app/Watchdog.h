#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace veltrap::testing {

// Rescues a test whose subject must end something on its own: unless the
// watchdog goes first, it calls rescue after a long while and remembers that
// it had to, so that a fault fails the test instead of hanging it. The wait
// is no measure of speed; it only bounds how long a failing test takes.
class Watchdog {
public:
    explicit Watchdog(std::function<void()> rescue)
        : thread_([this, rescue = std::move(rescue)] {
              std::unique_lock lock(mutex_);
              if (!disarmed_.wait_for(lock, std::chrono::seconds(60), [this] { return done_; })) {
                  fired_ = true;
                  rescue();
              }
          }) {}
    ~Watchdog() {
        {
            std::lock_guard lock(mutex_);
            done_ = true;
        }
        disarmed_.notify_all();
        thread_.join();
    }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;

    bool Fired() const { return fired_.load(); }

private:
    std::mutex mutex_;
    std::condition_variable disarmed_;
    bool done_ = false;
    std::atomic<bool> fired_{false};
    std::thread thread_;
};

}  // namespace veltrap::testing
