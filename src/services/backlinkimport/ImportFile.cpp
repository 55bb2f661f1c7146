#include "services/backlinkimport/ImportFile.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

namespace veltrap {
namespace {

Failure CannotRead(const std::string& path, int error) {
    return Failure{"cannot read " + path + ": " + std::strerror(error)};
}

bool SameTime(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

}  // namespace

Result<ImportFile> ImportFile::Open(const std::string& path, const RunStop& stop) {
    // Without O_NONBLOCK the open of a pipe with no writer would wait for
    // one, deaf to every stop.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return CannotRead(path, errno);
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0) {
        const int error = errno;
        ::close(fd);
        return CannotRead(path, error);
    }
    if (S_ISDIR(opened.st_mode)) {
        ::close(fd);
        return CannotRead(path, EISDIR);
    }
    if (!S_ISREG(opened.st_mode) && !S_ISFIFO(opened.st_mode) && !S_ISCHR(opened.st_mode)) {
        ::close(fd);
        return Failure{
            "cannot read " + path + ": it is neither a file, a pipe nor a character device", true};
    }
    return ImportFile(path, fd, opened, stop);
}

ImportFile::ImportFile(std::string path, int fd, const struct stat& opened, const RunStop& stop)
    : path_(std::move(path)), fd_(fd), opened_(opened), stop_(stop) {}

ImportFile::ImportFile(ImportFile&& other) noexcept
    : path_(std::move(other.path_)),
      fd_(std::exchange(other.fd_, -1)),
      opened_(other.opened_),
      stop_(other.stop_),
      bytesRead_(other.bytesRead_) {}

ImportFile::~ImportFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

Failure ImportFile::Stopped(const std::string& path) {
    return Failure{"the import was stopped while " + path + " was read"};
}

Status ImportFile::WaitReadable() {
    for (;;) {
        if (stop_.Cancelled()) {
            return Stopped(path_);
        }
        pollfd ready{fd_, POLLIN, 0};
        const int count = ::poll(&ready, 1, kStopCheckMs);
        if (count < 0 && errno != EINTR) {
            return CannotRead(path_, errno);
        }
        if (count > 0) {
            return {};
        }
    }
}

Result<std::size_t> ImportFile::Read(char* buffer, std::size_t size) {
    for (;;) {
        if (stop_.Cancelled()) {
            return Stopped(path_);
        }
        // A regular file never makes a read wait.
        if (!IsRegular()) {
            if (Status ready = WaitReadable(); !ready) {
                return ready.failure();
            }
        }
        const ssize_t count = ::read(fd_, buffer, size);
        if (count > 0) {
            bytesRead_ += static_cast<std::size_t>(count);
            return static_cast<std::size_t>(count);
        }
        if (count == 0) {
            if (Status unchanged = CheckUnchanged(); !unchanged) {
                return unchanged.failure();
            }
            return std::size_t{0};
        }
        if (errno != EAGAIN && errno != EINTR) {
            return CannotRead(path_, errno);
        }
    }
}

Status ImportFile::CheckUnchanged() const {
    if (!IsRegular()) {
        return {};
    }
    struct stat now {};
    if (::fstat(fd_, &now) != 0) {
        return CannotRead(path_, errno);
    }
    const auto held = static_cast<std::size_t>(opened_.st_size);
    if (bytesRead_ != held || now.st_size != opened_.st_size ||
        !SameTime(now.st_mtim, opened_.st_mtim)) {
        return Failure{path_ + " changed while it was read (" + std::to_string(held) +
                       " bytes when opened, " + std::to_string(bytesRead_) + " read, " +
                       std::to_string(now.st_size) +
                       " now), so it is not imported; import it once it is written whole"};
    }
    return {};
}

}  // namespace veltrap
