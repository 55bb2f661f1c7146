#pragma once

#include "demoworld/DemoSite.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrap {

// How many entries the demo's answers hold to a page: few pages of the site
// to a page, so that a demo run pages through them, and many linking pages.
inline constexpr std::int64_t kDemoBingLinksPerPage = 3;
inline constexpr std::int64_t kDemoBingDetailsPerPage = 50;

// The demo's GetLinkCounts answer, page page (0-based): the pages of the site
// that its backlinks point at, each with their number, in the order their
// first backlink comes. siteUrl is the site as it was asked for.
std::string RenderBingLinkCounts(const DemoSite& site, std::string_view siteUrl, std::int64_t page);

// The demo's GetUrlLinks answer for one page of the site: the pages linking to
// it, with their anchor text. A link the site does not have gets no entries.
std::string RenderBingUrlLinks(const DemoSite& site, std::string_view siteUrl,
                               std::string_view link, std::int64_t page);

// Bing's answer to a request it refuses, {"ErrorCode": code, "Message": message}.
std::string RenderBingError(int code, std::string_view message);

}  // namespace veltrap
