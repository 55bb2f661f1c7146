#pragma once

#include "base/Result.h"
#include "base/TextSink.h"

#include <cstddef>
#include <string>
#include <string_view>

namespace veltrap {

// Writes text to a file through a buffer of kBufferBytes, creating the file
// or replacing what it held. The first failure is kept and everything written
// after it is dropped, so a writer need not check each piece: Close tells
// whether every byte reached the file. A failure's reason is the system's own
// words for the step that failed, without the path: the file written is
// often a stand-in beside the one people know, and the caller names that
// one. A path holding a NUL would name another file than the one meant, so
// it fails as an invalid argument before anything is touched.
class FileSink final : public TextSink {
public:
    static constexpr std::size_t kBufferBytes = 1 << 20;

    // A file the sink creates gets the permission bits mode, less the
    // process's umask.
    explicit FileSink(const std::string& path, unsigned mode = 0666);
    ~FileSink() override;
    FileSink(const FileSink&) = delete;
    FileSink& operator=(const FileSink&) = delete;

    void Write(std::string_view bytes) override;
    // Writes what is still buffered and closes the file; once only.
    Status Close();

private:
    void Flush(std::string_view bytes);

    int fd_ = -1;
    int failure_ = 0;
    std::string buffer_;
};

}  // namespace veltrap
