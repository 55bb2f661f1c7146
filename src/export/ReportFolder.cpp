#include "export/ReportFolder.h"

#include "base/FileSink.h"
#include "base/WriteWholeFile.h"
#include "export/RecordsJson.h"
#include "export/ReportTables.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

namespace veltrap {
namespace {

namespace fs = std::filesystem;

Failure CannotWrite(const fs::path& path, const std::string& reason) {
    return Failure{"cannot write " + path.string() + ": " + reason};
}

std::vector<ReportFile> Outputs(const RunResult& outcome, const std::vector<ReportFile>& extra) {
    std::vector<ReportFile> files = ReportTables(outcome.records, outcome.unlinked);
    files.insert(files.begin(),
                 {"records.json", [&outcome](TextSink& sink) { WriteRecordsJson(outcome, sink); }});
    files.insert(files.end(), extra.begin(), extra.end());
    return files;
}

void RemoveEach(const std::vector<fs::path>& paths) {
    for (const fs::path& path : paths) {
        std::error_code ignored;
        fs::remove(path, ignored);
    }
}

// Creates the folder and writes every file beside its place, one after the
// other, each as it is made. On success the partial files are listed in
// partials, in the order of files; on failure none is left behind.
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
        FileSink sink(partials.back().string());
        if (file.write) {
            file.write(sink);
        }
        if (const Status written = sink.Close(); !written.ok()) {
            RemoveEach(partials);
            partials.clear();
            return CannotWrite(target, written.reason());
        }
    }
    return {};
}

// How often a writer asks again for a folder another one holds.
constexpr std::chrono::milliseconds kLockRetry{10};

// The lock of an output folder, held while the object lives.
class FolderLock {
public:
    FolderLock() = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }

    Status Take(const fs::path& folder, std::chrono::milliseconds wait) {
        fd_ = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd_ < 0) {
            return Failure{"cannot lock the output folder " + folder.string() + ": " +
                           std::strerror(errno)};
        }
        const auto until = std::chrono::steady_clock::now() + wait;
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK && errno != EINTR) {
                return Failure{"cannot lock the output folder " + folder.string() + ": " +
                               std::strerror(errno)};
            }
            if (std::chrono::steady_clock::now() >= until) {
                return Failure{"cannot write into " + folder.string() +
                               ": another program kept writing its files there for longer than " +
                               std::to_string(wait.count()) + " ms"};
            }
            std::this_thread::sleep_for(kLockRetry);
        }
        return {};
    }

private:
    int fd_ = -1;
};

// Whether a partial file's name, "<name>.partial-<pid>-<n>", was left by a
// process that is gone.
bool LeftByTheDead(std::string_view partial) {
    const auto dash = partial.find('-');
    if (dash == std::string_view::npos || dash == 0) {
        return false;
    }
    pid_t pid = 0;
    for (const char digit : partial.substr(0, dash)) {
        if (digit < '0' || digit > '9' || pid > 100000000) {
            return false;
        }
        pid = pid * 10 + (digit - '0');
    }
    return pid > 0 && pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH;
}

void RemoveDeadPartials(const fs::path& folder, const std::vector<ReportFile>& files) {
    std::error_code listed;
    for (const auto& entry : fs::directory_iterator(folder, listed)) {
        const std::string name = entry.path().filename().string();
        for (const ReportFile& file : files) {
            const std::string prefix = file.name + ".partial-";
            if (name.starts_with(prefix) &&
                LeftByTheDead(std::string_view(name).substr(prefix.size()))) {
                std::error_code ignored;
                fs::remove(entry.path(), ignored);
            }
        }
    }
}

}  // namespace

Status PrepareReportFolder(const fs::path& folder, const std::vector<std::string>& extraNames) {
    // The names do not depend on what a run finds, so an empty run's outputs
    // try every one of them.
    std::vector<ReportFile> extra;
    for (const std::string& name : extraNames) {
        extra.push_back({name, nullptr});
    }
    std::vector<fs::path> partials;
    Status staged = Stage(folder, Outputs(RunResult{}, extra), partials);
    RemoveEach(partials);
    return staged;
}

Status WriteReportFolder(const fs::path& folder, const RunResult& outcome,
                         const std::vector<ReportFile>& extra,
                         const std::vector<std::string>& stale,
                         std::chrono::milliseconds lockWait) {
    const std::vector<ReportFile> files = Outputs(outcome, extra);
    std::vector<fs::path> partials;
    if (Status staged = Stage(folder, files, partials); !staged.ok()) {
        return staged;
    }
    FolderLock lock;
    if (Status locked = lock.Take(folder, lockWait); !locked) {
        RemoveEach(partials);
        return locked;
    }
    RemoveDeadPartials(folder, files);
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
