#include "app/QueuedCalls.h"

#include <QMetaObject>

#include <utility>

namespace veltrap {

void QueuedCalls::Post(std::function<void()> call) {
    {
        std::lock_guard lock(mutex_);
        calls_.push_back(std::move(call));
    }
    QMetaObject::invokeMethod(this, "Deliver", Qt::QueuedConnection);
}

void QueuedCalls::Deliver() {
    // One delivery runs every call posted so far; the ones queued after it
    // find nothing left, which costs nothing.
    for (;;) {
        std::function<void()> call;
        {
            std::lock_guard lock(mutex_);
            if (calls_.empty()) {
                return;
            }
            call = std::move(calls_.front());
            calls_.pop_front();
        }
        call();
    }
}

}  // namespace veltrap
