#pragma once

#include <filesystem>
#include <string>

namespace veltrap {

// Writes the bytes to a fresh file beside path and renames it into place, so
// that a reader never sees half a file. On failure returns false with a
// message naming path and the system's reason in error, and leaves no
// partial file behind.
bool WriteWholeFile(const std::filesystem::path& path, const std::string& bytes,
                    std::string& error);

}  // namespace veltrap
