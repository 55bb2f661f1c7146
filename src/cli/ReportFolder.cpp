#include "cli/ReportFolder.h"

#include "cli/RecordsJson.h"
#include "export/WriteReportTables.h"

#include <fstream>
#include <system_error>

namespace veltrap {
namespace {

// Writes the bytes to a fresh file beside path and renames it into place.
bool WriteWhole(const std::filesystem::path& path, const std::string& bytes, std::string& error) {
    std::filesystem::path partial = path;
    partial += ".partial";
    {
        std::ofstream out(partial, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::error_code ignored;
            std::filesystem::remove(partial, ignored);
            error = "cannot write " + path.string();
            return false;
        }
    }
    std::error_code renamed;
    std::filesystem::rename(partial, path, renamed);
    if (renamed) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        error = "cannot write " + path.string() + ": " + renamed.message();
        return false;
    }
    return true;
}

}  // namespace

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
    return WriteWhole(folder / "records.json", RecordsJson(outcome), error) &&
           WriteReportTables(outcome.records, outcome.unlinked, folder, error);
}

}  // namespace veltrap
