#pragma once

#include <filesystem>

namespace veltrap {

// Where the user's history lives: $XDG_DATA_HOME/Veltrap/history.sqlite, or
// ~/.local/share/Veltrap/history.sqlite when XDG_DATA_HOME is unset or not
// an absolute path. Empty when neither names a place.
std::filesystem::path DefaultHistoryPath();
std::filesystem::path DefaultHistoryPath(const char* dataHome, const char* home);

}  // namespace veltrap
