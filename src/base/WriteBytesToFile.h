#pragma once

#include "base/Result.h"

#include <string>
#include <string_view>

namespace veltrap {

// Writes the bytes to path, creating the file or replacing what it held.
// Succeeds once every byte has reached the file and it is closed. A failure's
// reason is the system's own words for the step that failed, without the
// path: the file written is often a stand-in beside the one people know, and
// the caller names that one. A path holding a NUL would name another file
// than the one meant, so it fails as an invalid argument before anything is
// touched.
Status WriteBytesToFile(const std::string& path, std::string_view bytes);

}  // namespace veltrap
