#include "export/ReportFolder.h"

#include "base/WriteBytesToFile.h"
#include "base/WriteWholeFile.h"
#include "export/RecordsJson.h"
#include "export/ReportTables.h"

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <system_error>
#include <vector>

namespace veltrap {
namespace {

namespace fs = std::filesystem;

Failure CannotWrite(const fs::path& path, const std::string& reason) {
    return Failure{"cannot write " + path.string() + ": " + reason};
}

std::vector<ReportFile> Outputs(const RunResult& outcome, const std::vector<ReportFile>& extra) {
    std::vector<ReportFile> files = ReportTables(outcome.records, outcome.unlinked);
    files.insert(files.begin(), {"records.json", RecordsJson(outcome)});
    files.insert(files.end(), extra.begin(), extra.end());
    return files;
}

void RemoveEach(const std::vector<fs::path>& paths) {
    for (const fs::path& path : paths) {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
}

// Creates the folder and writes every file beside its place. On success the
// partial files are listed in partials, in the order of files; on failure
// none is left behind.
Status Stage(const fs::path& folder, const std::vector<ReportFile>& files,
             std::vector<fs::path>& partials) {
    std::error_code created;
    fs::create_directories(folder, created);
    std::error_code checked;
    if (created || !fs::is_directory(folder, checked)) {
        return Failure{"cannot create the output folder " + folder.string() + ": " +
                       (created ? created.message() : std::strerror(ENOTDIR))};
    }
    // A folder in a file's place could not be replaced at the end, after the
    // other files had been.
    for (const ReportFile& file : files) {
        std::error_code ignored;
        if (fs::is_directory(fs::symlink_status(folder / file.name, ignored))) {
            return CannotWrite(folder / file.name, std::strerror(EISDIR));
        }
    }
    for (const ReportFile& file : files) {
        const fs::path target = folder / file.name;
        partials.push_back(PartialPathFor(target));
        if (const Status written = WriteBytesToFile(partials.back().string(), file.bytes);
            !written.ok()) {
            RemoveEach(partials);
            partials.clear();
            return CannotWrite(target, written.reason());
        }
    }
    return {};
}

}  // namespace

Status PrepareReportFolder(const fs::path& folder, const std::vector<std::string>& extraNames) {
    // The names do not depend on what a run finds, so an empty run's outputs
    // try every one of them.
    std::vector<ReportFile> extra;
    for (const std::string& name : extraNames) {
        extra.push_back({name, ""});
    }
    std::vector<fs::path> partials;
    Status staged = Stage(folder, Outputs(RunResult{}, extra), partials);
    RemoveEach(partials);
    return staged;
}

Status WriteReportFolder(const fs::path& folder, const RunResult& outcome,
                         const std::vector<ReportFile>& extra,
                         const std::vector<std::string>& stale) {
    const std::vector<ReportFile> files = Outputs(outcome, extra);
    std::vector<fs::path> partials;
    if (Status staged = Stage(folder, files, partials); !staged.ok()) {
        return staged;
    }
    for (std::size_t n = 0; n < files.size(); ++n) {
        if (std::rename(partials[n].c_str(), (folder / files[n].name).c_str()) != 0) {
            const int failure = errno;
            RemoveEach({partials.begin() + static_cast<std::ptrdiff_t>(n), partials.end()});
            return CannotWrite(folder / files[n].name, std::strerror(failure));
        }
    }
    // Only now, with this run's set in place: a failure before would have
    // left the folder as the earlier run wrote it, its stale files included.
    for (const std::string& name : stale) {
        std::error_code removed;
        fs::remove(folder / name, removed);
        if (removed) {
            return Failure{"cannot remove " + (folder / name).string() + ": " + removed.message()};
        }
    }
    return {};
}

}  // namespace veltrap
