#include "support/ProcessesMentioning.h"

#include "support/TempDir.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>

namespace veltrap::testing {

int ProcessesMentioning(const std::string& text) {
    int count = 0;
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", ignored)) {
        const std::string name = entry.path().filename().string();
        if (!std::all_of(name.begin(), name.end(),
                         [](unsigned char c) { return std::isdigit(c); }) ||
            name == std::to_string(::getpid())) {
            continue;
        }
        if (ReadFileBytes(entry.path() / "cmdline").find(text) != std::string::npos) {
            ++count;
        }
    }
    return count;
}

}  // namespace veltrap::testing
