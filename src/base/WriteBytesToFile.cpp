#include "base/WriteBytesToFile.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace veltrap {
namespace {

Failure SystemFailure(int error) {
    return Failure{std::strerror(error)};
}

}  // namespace

Status WriteBytesToFile(const std::string& path, std::string_view bytes) {
    if (path.find('\0') != std::string::npos) {
        return SystemFailure(EINVAL);
    }
    const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (file < 0) {
        return SystemFailure(errno);
    }
    int failure = 0;
    while (!bytes.empty()) {
        const ssize_t written = ::write(file, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            failure = errno;
            break;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    // Some file systems only report a full disk or a lost server when the
    // file is closed.
    if (::close(file) != 0 && failure == 0) {
        failure = errno;
    }
    if (failure != 0) {
        return SystemFailure(failure);
    }
    return {};
}

}  // namespace veltrap
