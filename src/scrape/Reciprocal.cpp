#include "scrape/Reciprocal.h"

#include "base/TextSearch.h"
#include "scrape/WebAddress.h"

#include <unordered_set>

namespace veltrap {
namespace {

constexpr std::string_view kLinkStart = "href=\"";
// A quoted link value may be this long, the attribute name and quote counted.
constexpr std::size_t kLongestLinkSpan = 100;

LookupOutcome WalkStopped(std::int64_t maxSitePages) {
    return LookupOutcome::Failed("site walk stopped at max_site_pages (" +
                                 std::to_string(maxSitePages) + ")");
}

}  // namespace

std::string LinkingDomain(std::string_view linkingPageUrl) {
    std::string domain(linkingPageUrl);
    RemoveEvery(domain, "http://");
    RemoveEvery(domain, "https://");
    RemoveEvery(domain, "www.");
    return domain.substr(0, domain.find('/'));
}

LookupOutcome CheckReciprocal(const PageFetch& fetch, std::string_view siteKey,
                              std::string_view href, std::string_view linkingPageUrl,
                              std::int64_t maxSitePages) {
    const std::string domain = LinkingDomain(linkingPageUrl);
    // Every page contains the empty text, so an address without a host says
    // nothing about a link back.
    if (domain.empty()) {
        return LookupOutcome::NotFound();
    }
    // The distinct addresses the walk has fetched; asking one again costs
    // nothing, as the fetch keeps answers, so only new ones count.
    std::unordered_set<std::string> fetched;
    const auto withinBound = [&](const std::string& address) {
        if (fetched.contains(address)) {
            return true;
        }
        if (static_cast<std::int64_t>(fetched.size()) >= maxSitePages) {
            return false;
        }
        fetched.insert(address);
        return true;
    };
    const auto mentions = [&](const std::string& address) {
        return Contains(fetch(address).body, domain);
    };
    const std::string target = WithHttpScheme(href);
    if (!withinBound(target)) {
        return WalkStopped(maxSitePages);
    }
    if (mentions(target)) {
        return LookupOutcome::Found(1);
    }
    std::string site = WithHttpScheme(siteKey);
    if (!withinBound(site)) {
        return WalkStopped(maxSitePages);
    }
    const PageAnswer startAnswer = fetch(site);
    const std::string& start = startAnswer.body;
    if (Contains(start, domain)) {
        return LookupOutcome::Found(1);
    }
    const LookupOutcome nothing =
        startAnswer.Usable()
            ? LookupOutcome::NotFound()
            : LookupOutcome::Failed("the site's start page: " + startAnswer.Problem());
    std::size_t searchFrom = 0;
    while (true) {
        const auto linkAt = start.find(kLinkStart, searchFrom + 1);
        if (linkAt == std::string::npos) {
            return nothing;
        }
        const auto close = start.find('"', linkAt + kLinkStart.size() + 1);
        if (close == std::string::npos) {
            return nothing;
        }
        if (close - linkAt > kLongestLinkSpan) {
            searchFrom = linkAt + kLinkStart.size();
            continue;
        }
        const auto valueStart = linkAt + kLinkStart.size();
        std::string link = start.substr(valueStart, close - valueStart);
        if (!HasWebScheme(link)) {
            // Relative links join the site address with exactly one "/"; the
            // address keeps its trimmed form for the rest of the walk.
            while (site.ends_with('/')) {
                site.pop_back();
            }
            const auto firstKept = link.find_first_not_of('/');
            link = site + "/" + (firstKept == std::string::npos ? "" : link.substr(firstKept));
        }
        if (Contains(link, site)) {
            const std::string address = WithHttpScheme(link);
            if (!withinBound(address)) {
                return WalkStopped(maxSitePages);
            }
            if (mentions(address)) {
                return LookupOutcome::Found(1);
            }
        }
        searchFrom = linkAt;
    }
}

}  // namespace veltrap
