#include "base/WriteWholeFile.h"

#include "base/WriteBytesToFile.h"

#include <unistd.h>

#include <atomic>
#include <cstring>
#include <system_error>

namespace veltrap {

std::filesystem::path PartialPathFor(const std::filesystem::path& target) {
    static std::atomic<unsigned long> made{0};
    std::filesystem::path partial = target;
    partial += ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(++made);
    return partial;
}

bool WriteWholeFile(const std::filesystem::path& path, const std::string& bytes,
                    std::string& error) {
    const std::filesystem::path partial = PartialPathFor(path);
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
