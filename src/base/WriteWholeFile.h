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

// A name beside target for the file that is written before it replaces
// target. Each call gives another name, so that two writers of one target,
// in this process or another, never write into the same partial file.
std::filesystem::path PartialPathFor(const std::filesystem::path& target);

}  // namespace veltrap
