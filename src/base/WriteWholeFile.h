#pragma once

#include "base/Result.h"
#include "base/TextSink.h"

#include <filesystem>
#include <functional>
#include <string>

namespace veltrap {

// Writes the bytes to a fresh file beside path and renames it into place, so
// that a reader never sees half a file. A failure names path and gives the
// system's reason, and leaves no partial file behind.
// The new file has the permission bits mode, less the umask, from its first
// byte on, so a private file is never readable by others on its way in.
Status WriteWholeFile(const std::filesystem::path& path, const std::string& bytes,
                      unsigned mode = 0666);
// The same for text that write makes piece by piece, each piece reaching the
// file as it is made.
Status WriteWholeFile(const std::filesystem::path& path,
                      const std::function<void(TextSink& sink)>& write);

// A name beside target for the file that is written before it replaces
// target. Each call gives another name, so that two writers of one target,
// in this process or another, never write into the same partial file.
std::filesystem::path PartialPathFor(const std::filesystem::path& target);

}  // namespace veltrap
