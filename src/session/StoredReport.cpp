#include "session/StoredReport.h"

#include "export/RunFacts.h"
#include "history/ChangesCsv.h"
#include "history/HistoryStore.h"
#include "history/RecordRun.h"

#include <memory>
#include <utility>

namespace veltrap {

Result<StoredReport> StoredReport::Load(const std::filesystem::path& file, std::int64_t id) {
    HistoryStore history;
    if (Status opened = history.OpenToRead(file); !opened) {
        return opened.failure();
    }
    Result<StoredRun> loaded = history.Load(id);
    if (!loaded) {
        return loaded.failure();
    }
    StoredReport stored;
    stored.run = loaded->run;
    const HistoryRun& run = stored.run;
    // The run before it, when there is one, tells what changed.
    if (const auto runs = history.Runs(run.siteKey); runs) {
        for (const HistoryRun& earlier : *runs) {
            if (earlier.id < id) {
                if (const Result<StoredRun> before = history.Load(earlier.id); before) {
                    stored.report.changes = RunChanges::Compare(before->result, loaded->result);
                    stored.report.history.changes = ChangesGrid(*stored.report.changes);
                }
                break;
            }
        }
    }
    // The charts as the run's own report drew them, up to this run; a
    // problem with them costs only the charts.
    std::vector<std::string> problems;
    stored.report.history.runs = ChartedRuns(history, run.siteKey, id, problems);
    stored.report.facts =
        RunFacts(run.startedAt, {run.backlinkService, run.authorityService, run.searchService},
                 run.backlinkPages, run.rankingPages, run.jobs);
    stored.report.result = std::make_shared<const RunResult>(std::move(loaded->result));
    return stored;
}

}  // namespace veltrap
