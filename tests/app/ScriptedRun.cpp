#include "ScriptedRun.h"

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

    RunResult Run(const RunPlan& plan, const RunContext& context) {
        int run = 0;
        {
            std::lock_guard lock(mutex);
            run = static_cast<int>(requests.size());
            requests.push_back(plan.request);
        }
        started.fetch_add(1);
        context.Announce("Indexing Backlinks...\r\n");
        const auto stopped = [&] { return honoursCancel.load() && context.stop.Cancelled(); };
        {
            std::unique_lock lock(mutex);
            while (!MayGoOn(run) && !stopped()) {
                changed.wait_for(lock, std::chrono::milliseconds(5));
            }
        }
        RunResult result;
        result.siteKey = MakeSiteKey(plan.request.siteText);
        if (!stopped()) {
            result.records.Append("http://linker" + std::to_string(run) + ".example/" +
                                  result.siteKey);
            BacklinkRecord& record = *result.records.begin();
            record.href = "http://" + result.siteKey + "/";
            record.anchorText = "phrase " + std::to_string(run);
            // Like a run that was cancelled but carried on, this one still
            // tells its line when it was told to ignore the stop.
            context.Announce("Examining " + record.url + "...\r\n");
        }
        result.cancelled = context.stop.Cancelled();
        returned.fetch_add(1);
        return result;
    }
};

ScriptedRun::ScriptedRun()
    : state_(std::make_shared<State>()),
      honoursCancel_(state_->honoursCancel),
      started_(state_->started),
      returned_(state_->returned) {}

ReportSession::Pipeline ScriptedRun::Function() {
    return [state = state_](RunPlan& plan, const RunContext& context) {
        return state->Run(plan, context);
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
