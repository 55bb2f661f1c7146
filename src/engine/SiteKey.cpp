#include "engine/SiteKey.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"

#include <algorithm>

namespace veltrap {

std::string MakeSiteKey(std::string_view typed) {
    std::string key(typed);
    RemoveEvery(key, "http://");
    RemoveEvery(key, "https://");
    RemoveEvery(key, "www.");
    RemoveEvery(key, " ");
    return key;
}

std::string SiteGroupKey(std::string_view siteKey) {
    std::string key = MakeSiteKey(siteKey);
    const std::size_t hostEnd = std::min(key.find('/'), key.size());
    key = LowerAscii(std::string_view(key).substr(0, hostEnd)) + key.substr(hostEnd);
    if (key.starts_with("www.")) {
        key.erase(0, 4);
    }
    while (key.ends_with('/')) {
        key.pop_back();
    }
    return key;
}

std::string NamesNoSite(std::string_view typed) {
    return "SITE '" + std::string(typed) +
           "' names no site once \"http://\", \"https://\", \"www.\" and blanks are taken out";
}

}  // namespace veltrap
