#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// The one form of the profiled site's address that every reader uses: the typed
// text without any "http://", then any "https://", then any "www.", then any
// blank. Nothing else changes; case and a trailing "/" stay.
std::string MakeSiteKey(std::string_view typed);

// The form by which the history groups a site's runs, whichever way its
// address was typed for each: the site key's host lower-cased (ASCII), a
// leading "www." and any trailing "/" dropped. The runs themselves keep the
// site key they used.
std::string SiteGroupKey(std::string_view siteKey);

// Why typed gives no site key, as the command line tells it.
std::string NamesNoSite(std::string_view typed);

}  // namespace veltrap
