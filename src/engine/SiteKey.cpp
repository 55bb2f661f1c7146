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

}  // namespace veltrap
