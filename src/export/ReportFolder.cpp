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
#include <utility>
#include <vector>

namespace veltrap {
namespace {

namespace fs = std::filesystem;

std::string CannotWrite(const fs::path& path, int error) {
    return "cannot write " + path.string() + ": " + std::strerror(error);
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
std::string Stage(const fs::path& folder, const std::vector<ReportFile>& files,
                  std::vector<fs::path>& partials) {
    std::error_code created;
    fs::create_directories(folder, created);
    std::error_code checked;
    if (created || !fs::is_directory(folder, checked)) {
        return "cannot create the output folder " + folder.string() + ": " +
               (created ? created.message() : std::strerror(ENOTDIR));
    }
    // A folder in a file's place could not be replaced at the end, after the
    // other files had been.
    for (const ReportFile& file : files) {
        std::error_code ignored;
        if (fs::is_directory(fs::symlink_status(folder / file.name, ignored))) {
            return CannotWrite(folder / file.name, EISDIR);
        }
    }
    for (const ReportFile& file : files) {
        const fs::path target = folder / file.name;
        partials.push_back(PartialPathFor(target));
        if (const int failure = WriteBytesToFile(partials.back().string(), file.bytes)) {
            RemoveEach(partials);
            partials.clear();
            return CannotWrite(target, failure);
        }
    }
    return "";
}

}  // namespace

ReportFolderResult PrepareReportFolder(const fs::path& folder,
                                       const std::vector<std::string>& extraNames) {
    // The names do not depend on what a run finds, so an empty run's outputs
    // try every one of them.
    std::vector<ReportFile> extra;
    for (const std::string& name : extraNames) {
        extra.push_back({name, ""});
    }
    std::vector<fs::path> partials;
    const std::string error = Stage(folder, Outputs(RunResult{}, extra), partials);
    RemoveEach(partials);
    return {error};
}

ReportFolderResult WriteReportFolder(const fs::path& folder, const RunResult& outcome,
                                     const std::vector<ReportFile>& extra) {
    const std::vector<ReportFile> files = Outputs(outcome, extra);
    std::vector<fs::path> partials;
    if (std::string error = Stage(folder, files, partials); !error.empty()) {
        return {std::move(error)};
    }
    for (std::size_t n = 0; n < files.size(); ++n) {
        if (std::rename(partials[n].c_str(), (folder / files[n].name).c_str()) != 0) {
            const int failure = errno;
            RemoveEach({partials.begin() + static_cast<std::ptrdiff_t>(n), partials.end()});
            return {CannotWrite(folder / files[n].name, failure)};
        }
    }
    return {};
}

}  // namespace veltrap
