#include "engine/SiteKey.h"

#include "base/TextSearch.h"

namespace veltrap {

std::string MakeSiteKey(std::string_view typed) {
    std::string key(typed);
    RemoveEvery(key, "http://");
    RemoveEvery(key, "https://");
    RemoveEvery(key, "www.");
    RemoveEvery(key, " ");
    return key;
}

std::string NamesNoSite(std::string_view typed) {
    return "SITE '" + std::string(typed) +
           "' names no site once \"http://\", \"https://\", \"www.\" and blanks are taken out";
}

}  // namespace veltrap
