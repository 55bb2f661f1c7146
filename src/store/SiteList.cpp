#include "store/SiteList.h"

#include <cstddef>

namespace veltrap {

std::vector<std::string> SiteListEntries(std::string_view stored) {
    std::vector<std::string> entries;
    std::size_t from = 0;
    for (std::size_t comma = stored.find(','); comma != std::string_view::npos;
         comma = stored.find(',', from)) {
        if (comma > from) {
            entries.emplace_back(stored.substr(from, comma - from));
        }
        from = comma + 1;
    }
    return entries;
}

bool SiteListHasEntry(std::string_view stored, std::string_view site) {
    for (const auto& entry : SiteListEntries(stored)) {
        if (entry == site) {
            return true;
        }
    }
    return false;
}

std::string SiteListWithEntry(std::string_view stored, std::string_view site) {
    std::string list(stored);
    if (!list.empty() && list.back() != ',') {
        list += ',';
    }
    list += site;
    list += ',';
    return list;
}

std::string SiteListWithoutEntry(std::string_view stored, std::string_view site) {
    std::string kept;
    for (const std::string& entry : SiteListEntries(stored)) {
        if (entry != site) {
            kept += entry + ",";
        }
    }
    return kept;
}

}  // namespace veltrap
