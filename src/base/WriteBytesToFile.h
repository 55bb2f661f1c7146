#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// Writes the bytes to path, creating the file or replacing what it held.
// Returns 0 once every byte has reached the file and it is closed, otherwise
// the errno of the step that failed. A path holding a NUL would name another
// file than the one meant, so it fails with EINVAL before anything is touched.
int WriteBytesToFile(const std::string& path, std::string_view bytes);

}  // namespace veltrap
