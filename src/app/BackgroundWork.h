#pragma once

#include "app/QueuedCalls.h"

#include <QObject>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <utility>

namespace veltrap {

// Work that must not hold up the window's event loop, such as reading the
// history or writing files: each piece runs on a thread of its own, and its
// result is handed to the receiver's thread, where `done` is called once the
// thread has ended. Nothing here touches a widget off that thread. The work
// must only use what it holds itself.
class BackgroundWork {
public:
    explicit BackgroundWork(QObject* receiver) : calls_(new QueuedCalls(receiver)) {}
    // Waits for every piece still running; their results are dropped with the
    // receiver.
    ~BackgroundWork() {
        for (auto& [id, thread] : threads_) {
            thread.join();
        }
    }
    BackgroundWork(const BackgroundWork&) = delete;
    BackgroundWork& operator=(const BackgroundWork&) = delete;

    template <typename T>
    void Run(std::function<T()> work, std::function<void(T)> done) {
        const std::uint64_t id = ++last_;
        threads_.emplace(
            id, std::thread([this, id, work = std::move(work), done = std::move(done)]() mutable {
                auto result = std::make_shared<T>(work());
                calls_->Post([this, id, result, done = std::move(done)] {
                    Join(id);
                    done(std::move(*result));
                });
            }));
    }

    // Pieces of work not yet done.
    std::size_t Pending() const { return threads_.size(); }

private:
    void Join(std::uint64_t id) {
        if (const auto found = threads_.find(id); found != threads_.end()) {
            found->second.join();
            threads_.erase(found);
        }
    }

    // A child of the receiver, so it lives as long as the receiver does.
    QueuedCalls* calls_;
    std::uint64_t last_ = 0;
    // Touched on the receiver's thread only.
    std::map<std::uint64_t, std::thread> threads_;
};

}  // namespace veltrap
