#include "history/RecordRun.h"

#include "history/ChangesCsv.h"
#include "history/HistoryStore.h"

#include <algorithm>

namespace veltrap {

std::vector<HtmlRunChanges> ChartedRuns(HistoryStore& store, const std::string& siteKey,
                                        std::int64_t upToId, std::vector<std::string>& problems) {
    std::vector<HtmlRunChanges> charted;
    const Result<std::vector<HistoryRun>> listed = store.Runs(siteKey, kChartedRuns + 1, upToId);
    if (!listed) {
        problems.push_back("The history's runs cannot be charted: " + listed.reason());
        return charted;
    }
    std::vector<HistoryRun> runs(listed->rbegin(), listed->rend());
    std::optional<RunResult> before;
    for (std::size_t n = 0; n < runs.size(); ++n) {
        Result<StoredRun> loaded = store.Load(runs[n].id);
        if (!loaded) {
            problems.push_back("The history's runs cannot be charted: " + loaded.reason());
            return {};
        }
        // With one run more than charted listed, the first serves only as
        // the one its successor is compared with.
        const bool shown = runs.size() <= static_cast<std::size_t>(kChartedRuns) || n > 0;
        if (shown) {
            HtmlRunChanges point{runs[n].startedAt, 0, 0};
            const RunChanges changes =
                RunChanges::Compare(before ? *before : RunResult{}, loaded->result);
            for (const PageChange& page : changes.pages) {
                point.gained += page.kind == PageChange::Kind::kNew ? 1 : 0;
                point.lost += page.kind == PageChange::Kind::kLost ? 1 : 0;
            }
            charted.push_back(point);
        }
        before = std::move(loaded->result);
    }
    return charted;
}

RecordedRun RecordRun(const std::filesystem::path& file, const HistoryRun& run,
                      const RunResult& outcome) {
    RecordedRun recorded;
    const auto notStored = [&recorded](const std::string& reason) {
        recorded.problems.push_back("The run was not stored in the history: " + reason);
    };
    if (file.empty()) {
        notStored("neither XDG_DATA_HOME nor HOME names a folder for it");
        return recorded;
    }
    HistoryStore store;
    if (const Status opened = store.Open(file); !opened) {
        notStored(opened.reason());
        return recorded;
    }
    const Result<std::vector<HistoryRun>> previous = store.Runs(run.siteKey, 1);
    if (!previous) {
        notStored(previous.reason());
        return recorded;
    }
    if (outcome.discovery.failed && !previous->empty()) {
        recorded.problems.push_back(
            "The changes since the previous run are not told: the backlink source failed, so "
            "the pages this run did not see cannot be told lost");
    } else if (!previous->empty()) {
        const Result<StoredRun> older = store.Load(previous->front().id);
        if (older) {
            recorded.changes = RunChanges::Compare(older->result, outcome);
            recorded.report.changes = ChangesGrid(*recorded.changes);
        } else {
            recorded.problems.push_back("The changes since the previous run cannot be told: " +
                                        older.reason());
        }
    }
    const Result<std::int64_t> stored = store.Store(run, outcome);
    if (!stored) {
        notStored(stored.reason());
        return recorded;
    }
    recorded.report.runs = ChartedRuns(store, run.siteKey, *stored, recorded.problems);
    return recorded;
}

HistoryRun RunToStore(const RunRequest& request, const ServiceConfig& config) {
    using Role = ServiceConfig::Role;
    HistoryRun run;
    run.backlinkPages = request.maxBacklinkPages;
    run.rankingPages = request.maxRankingPages;
    run.jobs = config.http.jobs;
    run.backlinkService = config.Chosen(Role::kBacklinks);
    run.authorityService = config.Chosen(Role::kAuthority);
    run.searchService = config.Chosen(Role::kSearch);
    if (request.imported) {
        const std::size_t files = request.imported->files;
        run.listSource = "import of " + std::to_string(files) + (files == 1 ? " file" : " files");
    } else {
        run.listSource = run.backlinkService;
    }
    return run;
}

}  // namespace veltrap
