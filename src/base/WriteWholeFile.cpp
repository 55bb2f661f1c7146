#include "base/WriteWholeFile.h"

#include "base/FileSink.h"

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

namespace {

Status WriteWithMode(const std::filesystem::path& path,
                     const std::function<void(TextSink& sink)>& write, unsigned mode) {
    const std::filesystem::path partial = PartialPathFor(path);
    FileSink sink(partial.string(), mode);
    write(sink);
    if (const Status written = sink.Close(); !written.ok()) {
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

}  // namespace

Status WriteWholeFile(const std::filesystem::path& path, const std::string& bytes, unsigned mode) {
    return WriteWithMode(
        path, [&bytes](TextSink& sink) { sink.Write(bytes); }, mode);
}

Status WriteWholeFile(const std::filesystem::path& path,
                      const std::function<void(TextSink& sink)>& write) {
    return WriteWithMode(path, write, 0666);
}

}  // namespace veltrap
