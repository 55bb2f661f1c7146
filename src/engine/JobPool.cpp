#include "engine/JobPool.h"

#include <algorithm>

namespace veltrap {

JobPool::JobPool(std::size_t threads) {
    threads_.reserve(std::max<std::size_t>(threads, 1));
    for (std::size_t i = 0; i < std::max<std::size_t>(threads, 1); ++i) {
        threads_.emplace_back([this] { Work(); });
    }
}

JobPool::~JobPool() {
    {
        std::unique_lock lock(mutex_);
        idleChanged_.wait(lock, [this] { return !offered_ && busy_ == 0; });
        closing_ = true;
    }
    offeredChanged_.notify_all();
    for (std::thread& thread : threads_) {
        thread.join();
    }
}

void JobPool::Submit(std::function<void()> job) {
    std::unique_lock lock(mutex_);
    slotsChanged_.wait(lock, [this] { return !offered_ && busy_ < threads_.size(); });
    offered_ = std::move(job);
    offeredChanged_.notify_one();
    // Taken means a thread has it; the next job waits for the next free one.
    slotsChanged_.wait(lock, [this] { return !offered_; });
}

void JobPool::Wait() {
    std::unique_lock lock(mutex_);
    idleChanged_.wait(lock, [this] { return !offered_ && busy_ == 0; });
    if (failure_) {
        std::exception_ptr failure = failure_;
        failure_ = nullptr;
        std::rethrow_exception(failure);
    }
}

void JobPool::Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
        offeredChanged_.wait(lock, [this] { return offered_.has_value() || closing_; });
        if (!offered_) {
            return;
        }
        std::function<void()> job = std::move(*offered_);
        offered_.reset();
        ++busy_;
        slotsChanged_.notify_all();
        lock.unlock();
        try {
            job();
        } catch (...) {
            lock.lock();
            if (!failure_) {
                failure_ = std::current_exception();
            }
            lock.unlock();
        }
        lock.lock();
        --busy_;
        slotsChanged_.notify_all();
        if (busy_ == 0 && !offered_) {
            idleChanged_.notify_all();
        }
    }
}

}  // namespace veltrap
