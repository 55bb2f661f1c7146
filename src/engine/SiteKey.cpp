#include "engine/SiteKey.h"

namespace veltrap {

void RemoveAll(std::string& text, std::string_view what) {
    if (what.empty()) {
        return;
    }
    std::string out;
    out.reserve(text.size());
    std::size_t from = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, from)) {
        out.append(text, from, at - from);
        from = at + what.size();
    }
    out.append(text, from, std::string::npos);
    text = std::move(out);
}

std::string MakeSiteKey(std::string_view typed) {
    std::string key(typed);
    RemoveAll(key, "http://");
    RemoveAll(key, "https://");
    RemoveAll(key, "www.");
    RemoveAll(key, " ");
    return key;
}

}  // namespace veltrap
