#include "base/TextSearch.h"

#include <utility>

namespace veltrap {

bool Contains(std::string_view text, std::string_view what) {
    return text.find(what) != std::string_view::npos;
}

void RemoveEvery(std::string& text, std::string_view what) {
    if (what.empty()) {
        return;
    }
    std::string kept;
    kept.reserve(text.size());
    std::size_t from = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, from)) {
        kept.append(text, from, at - from);
        from = at + what.size();
    }
    kept.append(text, from, std::string::npos);
    text = std::move(kept);
}

}  // namespace veltrap
