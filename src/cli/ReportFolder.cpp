#include "cli/ReportFolder.h"

#include "base/WriteWholeFile.h"
#include "cli/RecordsJson.h"
#include "export/WriteReportTables.h"

#include <fstream>
#include <system_error>

namespace veltrap {

bool PrepareReportFolder(const std::filesystem::path& folder, std::string& error) {
    std::error_code created;
    std::filesystem::create_directories(folder, created);
    std::error_code checked;
    if (created || !std::filesystem::is_directory(folder, checked)) {
        error = "cannot create the output folder " + folder.string() +
                (created ? ": " + created.message() : "");
        return false;
    }
    const std::filesystem::path probe = folder / ".veltrap-write-check";
    {
        std::ofstream out(probe, std::ios::binary | std::ios::trunc);
        out.close();
        if (!out) {
            error = "cannot write into the output folder " + folder.string();
            return false;
        }
    }
    std::error_code ignored;
    std::filesystem::remove(probe, ignored);
    return true;
}

bool WriteReportFolder(const std::filesystem::path& folder, const RunResult& outcome,
                       std::string& error) {
    return WriteWholeFile(folder / "records.json", RecordsJson(outcome), error) &&
           WriteReportTables(outcome.records, outcome.unlinked, folder, error);
}

}  // namespace veltrap
