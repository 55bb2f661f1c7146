#include "cli/CommandOutput.h"

#include <cerrno>
#include <cstring>

namespace veltrap {

int CommandOutput::Fail(int code, const std::string& message) {
    err_ << "veltrap-report: " << message << '\n';
    return code;
}

int CommandOutput::Write(const std::string& text, const std::string& what) {
    errno = 0;
    out_ << text;
    // A full disk may only show once the buffered bytes are handed on.
    out_.flush();
    if (out_) {
        return kExitDone;
    }
    const int failure = errno;
    return Fail(kExitFailed,
                "cannot write " + what + ": " +
                    (failure != 0 ? std::strerror(failure) : "the output was refused"));
}

}  // namespace veltrap
