#pragma once

#include <QObject>

#include <deque>
#include <functional>
#include <mutex>

namespace veltrap {

// Hands calls from other threads to the thread of the object it belongs to.
// Post keeps the call under a lock and asks that thread's event loop, through
// a queued call of a slot, to run what was posted, in the order it was. The
// lock, not the event loop, carries the call and what it holds from thread to
// thread, so every hand-over is one that a race detector can see.
class QueuedCalls : public QObject {
    Q_OBJECT

public:
    explicit QueuedCalls(QObject* parent) : QObject(parent) {}

    // May be called from any thread, for as long as the queue is there.
    void Post(std::function<void()> call);

private slots:
    void Deliver();

private:
    std::mutex mutex_;
    std::deque<std::function<void()>> calls_;
};

}  // namespace veltrap
