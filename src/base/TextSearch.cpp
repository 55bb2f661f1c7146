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

std::string_view Trimmed(std::string_view text, std::string_view set) {
    const auto first = text.find_first_not_of(set);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(set) - first + 1);
}

}  // namespace veltrap
