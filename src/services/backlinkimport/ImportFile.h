#pragma once

#include "base/Result.h"
#include "base/RunStop.h"

#include <sys/stat.h>

#include <cstddef>
#include <string>

namespace veltrap {

// One file given to the import, read in pieces while the run's stop is
// honoured. A regular file is read as it stands and must not change while it
// is read: a file cut or rewritten under the read would be imported in part.
// A pipe or a character device (a shell's <(...), /dev/stdin) is read as its
// bytes come; its open never waits for a writer, and a read that waits asks
// the stop every kStopCheckMs milliseconds. Anything else (a folder, a socket) is refused.
class ImportFile {
public:
    static constexpr int kStopCheckMs = 100;

    static Result<ImportFile> Open(const std::string& path, const RunStop& stop);

    ImportFile(ImportFile&& other) noexcept;
    ImportFile& operator=(ImportFile&&) = delete;
    ImportFile(const ImportFile&) = delete;
    ImportFile& operator=(const ImportFile&) = delete;
    ~ImportFile();

    // Reads up to size bytes: how many, 0 at the end. A failure names the
    // file; after a stop it is Stopped().
    Result<std::size_t> Read(char* buffer, std::size_t size);
    // A regular file can be handed to a reader that opens it by its name.
    bool IsRegular() const { return S_ISREG(opened_.st_mode); }
    const std::string& Path() const { return path_; }

    // The refusal of an import that was stopped.
    static Failure Stopped(const std::string& path);

private:
    ImportFile(std::string path, int fd, const struct stat& opened, const RunStop& stop);
    // At the end of a regular file: whether it is still the file that was
    // opened, every byte of it read.
    Status CheckUnchanged() const;
    // Waits until the descriptor can be read or the stop comes.
    Status WaitReadable();

    std::string path_;
    int fd_ = -1;
    struct stat opened_ {};
    const RunStop& stop_;
    std::size_t bytesRead_ = 0;
};

}  // namespace veltrap
