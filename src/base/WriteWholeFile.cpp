#include "base/WriteWholeFile.h"

#include "base/WriteBytesToFile.h"

#include <unistd.h>

#include <atomic>
#include <system_error>

namespace veltrap {

std::filesystem::path PartialPathFor(const std::filesystem::path& target) {
    static std::atomic<unsigned long> made{0};
    std::filesystem::path partial = target;
    partial += ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(++made);
    return partial;
}

Status WriteWholeFile(const std::filesystem::path& path, const std::string& bytes) {
    const std::filesystem::path partial = PartialPathFor(path);
    if (const Status written = WriteBytesToFile(partial.string(), bytes); !written.ok()) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        return Failure{"cannot write " + path.string() + ": " + written.reason()};
    }
    std::error_code renamed;
    std::filesystem::rename(partial, path, renamed);
    if (renamed) {
        std::error_code ignored;
        std::filesystem::remove(partial, ignored);
        return Failure{"cannot write " + path.string() + ": " + renamed.message()};
    }
    return {};
}

}  // namespace veltrap
