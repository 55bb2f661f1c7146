#pragma once

#include <QString>

#include <string_view>

namespace veltrap {

// Stored bytes as the window shows them: UTF-8 where they are valid, and each
// other byte as Windows-1252, so a page in another encoding reads rightly
// instead of as replacement marks.
QString ShownText(std::string_view bytes);

}  // namespace veltrap
