#include "base/WriteWholeFile.h"

#include "base/WriteBytesToFile.h"

#include <cstring>
#include <system_error>

namespace veltrap {

bool WriteWholeFile(const std::filesystem::path& path, const std::string& bytes,
                    std::string& error) {
    std::filesystem::path partial = path;
    partial += ".partial";
    if (const int failure = WriteBytesToFile(partial.string(), bytes)) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        error = "cannot write " + path.string() + ": " + std::strerror(failure);
        return false;
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

}  // namespace veltrap
