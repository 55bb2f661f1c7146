#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace veltrap {

// What the comparison of a run with the site's previous run says of each
// linking page, as the "Link Status" tab shows it.
struct LinkChanges {
    // "New", "Lost", "Changed" or "Unlisted" by the linking page's url; a page not named
    // is as it was.
    std::unordered_map<std::string, std::string> byUrl;
    // The pages the previous run kept and this one's list did not hold, in
    // the previous run's order: they have no row of their own otherwise.
    std::vector<std::string> unseen;
};

}  // namespace veltrap
