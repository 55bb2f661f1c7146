#include "cli/HistoryListing.h"

#include "base/UtcTimestamp.h"
#include "engine/SiteKey.h"
#include "history/HistoryPath.h"
#include "history/HistoryStore.h"
#include "history/RunChanges.h"

#include <algorithm>
#include <system_error>
#include <vector>

namespace veltrap {
namespace {

std::string Padded(std::string text, std::size_t width) {
    text.resize(std::max(text.size(), width), ' ');
    return text;
}

std::string Quoted(const std::string& text) {
    return "\"" + text + "\"";
}

}  // namespace

std::filesystem::path HistoryListing::FileOf(const ReportOptions& options) {
    return options.historyFile.empty() ? DefaultHistoryPath()
                                       : std::filesystem::path(options.historyFile);
}

int HistoryListing::Show(const ReportOptions& options) {
    const bool listing = !options.historyListSite.empty();
    const std::string& typed = listing ? options.historyListSite : options.changesSite;
    const std::string siteKey = MakeSiteKey(typed);
    if (siteKey.empty()) {
        return output_.Fail(CommandOutput::kExitUsage, NamesNoSite(typed));
    }
    const std::filesystem::path file = FileOf(options);
    if (file.empty()) {
        return output_.Fail(CommandOutput::kExitFailed,
                            "neither XDG_DATA_HOME nor HOME names a folder for the history; give "
                            "--history FILE");
    }
    // Only reading is asked for, so a history that does not exist yet is
    // one without runs, and no file is made for it.
    HistoryStore store;
    std::vector<HistoryRun> runs;
    std::error_code missing;
    if (std::filesystem::exists(file, missing) || missing) {
        if (Status opened = store.OpenToRead(file); !opened) {
            return output_.Fail(CommandOutput::kExitFailed, opened.reason());
        }
        Result<std::vector<HistoryRun>> listed = store.Runs(siteKey, listing ? 0 : 2);
        if (!listed) {
            return output_.Fail(CommandOutput::kExitFailed, listed.reason());
        }
        runs = std::move(listed).value();
    }
    std::string text;
    if (listing) {
        if (runs.empty()) {
            return output_.Write("No run of " + siteKey + " is stored in " + file.string() + ".\n",
                                 "the runs");
        }
        text = Padded("Id", 6) + Padded("Started", 22) + Padded("Ended", 22) +
               Padded("Outcome", 11) + Padded("Kept", 8) + Padded("Removed", 9) + "List\n";
        for (const HistoryRun& run : runs) {
            text += Padded(std::to_string(run.id), 6) + Padded(ShownUtcTime(run.startedAt), 22) +
                    Padded(ShownUtcTime(run.endedAt), 22) +
                    Padded(run.cancelled ? "cancelled" : "completed", 11) +
                    Padded(std::to_string(run.kept), 8) + Padded(std::to_string(run.removed), 9) +
                    run.listSource + "\n";
        }
        return output_.Write(text, "the runs");
    }
    if (runs.size() < 2) {
        return output_.Fail(CommandOutput::kExitFailed,
                            file.string() + " holds " + std::to_string(runs.size()) +
                                " run(s) of " + siteKey + ", and changes need two");
    }
    const Result<StoredRun> newer = store.Load(runs[0].id);
    const Result<StoredRun> older = newer ? store.Load(runs[1].id) : newer;
    if (!newer || !older) {
        return output_.Fail(CommandOutput::kExitFailed, newer ? older.reason() : newer.reason());
    }
    const RunChanges changes = RunChanges::Compare(older->result, newer->result);
    text = "Changes of " + siteKey + " from run " + std::to_string(older->run.id) + " (" +
           ShownUtcTime(older->run.startedAt) + ") to run " + std::to_string(newer->run.id) + " (" +
           ShownUtcTime(newer->run.startedAt) + "):\n";
    if (newer->result.discovery.failed) {
        text += "Run " + std::to_string(newer->run.id) +
                " could not read its backlink source, so a page it did not see may not be "
                "lost: " +
                newer->result.DiscoveryProblem() + "\n";
    }
    const auto rows = changes.Rows();
    for (const auto& row : rows) {
        text += Padded(row[1] + " ", 9) + row[0];
        if (!row[2].empty()) {
            text += "  " + row[2] + ": " + Quoted(row[3]) + " -> " + Quoted(row[4]);
        }
        text += '\n';
    }
    if (rows.empty()) {
        text += "No changes.\n";
    }
    return output_.Write(text, "the changes");
}

}  // namespace veltrap
