#include "ScriptedRun.h"

#include "engine/RunState.h"
#include "engine/SiteKey.h"

#include <chrono>

namespace veltrap::testing {

struct ScriptedRun::State {
    std::atomic<bool> honoursCancel{true};
    std::atomic<int> started{0};
    std::atomic<int> returned{0};
    mutable std::mutex mutex;
    std::condition_variable changed;
    std::vector<bool> released;
    bool releaseAll = false;
    std::vector<RunRequest> requests;

    bool MayGoOn(int run) {
        return releaseAll || (run < static_cast<int>(released.size()) && released[run]);
    }

    void Run(const RunRequest& request, RunShared& shared) {
        int run = 0;
        {
            std::lock_guard lock(mutex);
            run = static_cast<int>(requests.size());
            requests.push_back(request);
        }
        started.fetch_add(1);
        shared.SetStatusText("Indexing Backlinks...\r\n");
        int expected = kRunStarted;
        shared.runState.compare_exchange_strong(expected, kRunNewLine);

        const auto cancelled = [&] {
            return honoursCancel.load() &&
                   (shared.runState.load() == kRunCancelled || shared.Session().Aborted());
        };
        {
            std::unique_lock lock(mutex);
            while (!MayGoOn(run) && !cancelled()) {
                changed.wait_for(lock, std::chrono::milliseconds(5));
            }
        }
        if (!cancelled()) {
            const std::string key = MakeSiteKey(request.siteText);
            shared.List().Append("http://linker" + std::to_string(run) + ".example/" + key);
            BacklinkRecord& record = *shared.List().begin();
            record.href = "http://" + key + "/";
            record.anchorText = "phrase " + std::to_string(run);
            // Like a worker that was cancelled but carried on, this run still
            // writes its own state when it was told to ignore the cancel.
            shared.SetStatusText("Examining " + record.url + "...\r\n");
            if (shared.runState.load() != kRunCancelled || !honoursCancel.load()) {
                shared.runState.store(kRunIdle);
            }
        }
        returned.fetch_add(1);
    }
};

ScriptedRun::ScriptedRun()
    : state_(std::make_shared<State>()),
      honoursCancel_(state_->honoursCancel),
      started_(state_->started),
      returned_(state_->returned) {}

ReportWorkers::RunFunction ScriptedRun::Function() {
    return [state = state_](const RunRequest& request, const ServiceConfig&, RunShared& shared) {
        state->Run(request, shared);
    };
}

void ScriptedRun::Release(int run) {
    std::lock_guard lock(state_->mutex);
    if (run < 0) {
        state_->releaseAll = true;
    } else {
        if (static_cast<int>(state_->released.size()) <= run) {
            state_->released.resize(run + 1, false);
        }
        state_->released[run] = true;
    }
    state_->changed.notify_all();
}

std::vector<RunRequest> ScriptedRun::Requests() const {
    std::lock_guard lock(state_->mutex);
    return state_->requests;
}

}  // namespace veltrap::testing
