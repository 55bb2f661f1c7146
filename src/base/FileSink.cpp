#include "base/FileSink.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace veltrap {

FileSink::FileSink(const std::string& path, unsigned mode) {
    if (path.find('\0') != std::string::npos) {
        failure_ = EINVAL;
        return;
    }
    fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd_ < 0) {
        failure_ = errno;
        return;
    }
    buffer_.reserve(kBufferBytes);
}

FileSink::~FileSink() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

void FileSink::Write(std::string_view bytes) {
    if (failure_ != 0) {
        return;
    }
    if (buffer_.size() + bytes.size() > kBufferBytes) {
        Flush(buffer_);
        buffer_.clear();
        // A piece as large as the buffer goes straight to the file.
        if (bytes.size() >= kBufferBytes) {
            Flush(bytes);
            return;
        }
    }
    buffer_.append(bytes);
}

void FileSink::Flush(std::string_view bytes) {
    while (!bytes.empty() && failure_ == 0) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno != EINTR) {
                failure_ = errno;
            }
            continue;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

Status FileSink::Close() {
    if (fd_ >= 0) {
        Flush(buffer_);
        buffer_ = std::string();
        // Some file systems only report a full disk or a lost server when
        // the file is closed.
        if (::close(fd_) != 0 && failure_ == 0) {
            failure_ = errno;
        }
        fd_ = -1;
    } else if (failure_ == 0) {
        failure_ = EBADF;
    }
    if (failure_ != 0) {
        return Failure{std::strerror(failure_)};
    }
    return {};
}

}  // namespace veltrap
