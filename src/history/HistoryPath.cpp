#include "history/HistoryPath.h"

#include <cstdlib>

namespace veltrap {

std::filesystem::path DefaultHistoryPath() {
    return DefaultHistoryPath(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}

std::filesystem::path DefaultHistoryPath(const char* dataHome, const char* home) {
    if (dataHome != nullptr && dataHome[0] == '/') {
        return std::filesystem::path(dataHome) / "Veltrap" / "history.sqlite";
    }
    if (home != nullptr && home[0] == '/') {
        return std::filesystem::path(home) / ".local" / "share" / "Veltrap" / "history.sqlite";
    }
    return {};
}

}  // namespace veltrap
