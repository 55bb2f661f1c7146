#include "app/ShownText.h"

#include "base/Utf8Display.h"

#include <string>

namespace veltrap {

QString ShownText(std::string_view bytes) {
    const std::string text = Utf8ForDisplay(bytes);
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace veltrap
