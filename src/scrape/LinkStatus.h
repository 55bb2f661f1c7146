#pragma once

#include "net/PageAnswer.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace veltrap {

// What a linking page says about its link to the site beyond the link's
// target and words: how the page answered, and whether the link passes
// authority.
struct LinkFacts {
    std::int32_t httpStatus = 0;  // the final status; 0 without an answer
    std::string finalUrl;         // the address after redirects
    // The link's rel tokens, lower-cased and single-spaced, in their order.
    std::string rel;
    // "noindex", "nofollow", both in that order, or "", from the robots meta
    // tags and the X-Robots-Tag header.
    std::string robots;
    // The page's canonical address, absolute, when it names another page.
    std::string canonical;
    // "gone", "error", "noindex", "sponsored", "ugc", "nofollow" or "follow".
    std::string linkStatus;
};

// Reads the page whose link to the site has this target (lower-cased, as
// the link reader gives it). The link is the first <a> or <area> whose href,
// lower-cased, equals it. The page is read as a browser parses HTML, in
// time linear in its size for all but pages with svg, math, select or
// frameset elements.
LinkFacts ReadLinkFacts(const PageAnswer& page, std::string_view href);

// The same facts read from the page's whole parsed tree, which is exact but
// takes seconds for a large page and grows with the square of its nesting.
// ReadLinkFacts answers alike.
LinkFacts ReadLinkFactsFromTree(const PageAnswer& page, std::string_view href);

// Why a linking page without a link to the site lost its record, the first
// that fits: "unreachable" without an answer, "cut-short" when the answer
// ended early, "gone" for 404 and 410, "blocked" for 401, 403, 407, 429 and
// 451, "error" for any other failed answer, and "not-found" when it answered
// whole without the link.
std::string UnlinkedStatus(const PageAnswer& page);

}  // namespace veltrap
