#include "services/htmlsearch/SearchRank.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"
#include "scrape/SiteLink.h"

#include <utility>

namespace veltrap {
namespace {

// Everything in which the three engines differ.
struct EngineProfile {
    std::string ServiceEndpoints::*host;
    std::string_view searchPath;  // appended to "http://" and the host
    std::string_view startKey;    // names the first result of a page
    int firstStart;
    // The anchor point is the index of this marker plus the offset; a missing
    // marker counts as index -1.
    std::string_view anchorMarker;
    long long anchorOffset;
    // The target counts as found only on a page that also holds the anchor.
    bool targetNeedsAnchor;
    std::string_view resultMarker;
    // A fixed next-page marker, or the configured one when this is empty.
    std::string_view nextMarker;
    std::string ServiceEndpoints::*configuredNextMarker;
    int addedToResult;
};

constexpr int kResultsPerPage = 10;
constexpr int kMostCountedResults = 10;

const EngineProfile& Profile(RankColumn engine) {
    static const EngineProfile kGoogle{&ServiceEndpoints::googleHost,
                                       "/search?q=",
                                       "&start=",
                                       0,
                                       "a class=l",
                                       -2,
                                       false,
                                       "a class=l",
                                       "img src=/nav_next.gif",
                                       nullptr,
                                       0};
    static const EngineProfile kYahoo{&ServiceEndpoints::yahooHost,
                                      "/search?p=",
                                      "&b=",
                                      1,
                                      "web results",
                                      0,
                                      true,
                                      "a class=yschttl",
                                      "",
                                      &ServiceEndpoints::yahooNextMarker,
                                      0};
    static const EngineProfile kMsn{&ServiceEndpoints::msnHost,
                                    "/results.aspx?q=",
                                    "&first=",
                                    1,
                                    "div id=\"results\"",
                                    0,
                                    false,
                                    "li class=\"first\"",
                                    ">next</a></li>",
                                    nullptr,
                                    1};
    switch (engine) {
        case RankColumn::kGoogle:
            return kGoogle;
        case RankColumn::kYahoo:
            return kYahoo;
        case RankColumn::kMsn:
            break;
    }
    return kMsn;
}

// Like a search that answers -1 for "not found", and also for a start outside
// the text.
long long FindFrom(std::string_view text, std::string_view what, long long from) {
    if (from < 0 || from > static_cast<long long>(text.size())) {
        return -1;
    }
    const auto at = text.find(what, static_cast<std::size_t>(from));
    return at == std::string_view::npos ? -1 : static_cast<long long>(at);
}

}  // namespace

std::string SearchPageAddress(RankColumn engine, const ServiceEndpoints& services,
                              std::string_view keyphrase, int pageIndex) {
    const EngineProfile& profile = Profile(engine);
    const long long start =
        profile.firstStart + static_cast<long long>(kResultsPerPage) * pageIndex;
    return "http://" + services.*profile.host + std::string(profile.searchPath) +
           std::string(keyphrase) + std::string(profile.startKey) + std::to_string(start);
}

int CountResultsBefore(RankColumn engine, std::string_view lowerPage,
                       std::string_view lowerTarget) {
    const EngineProfile& profile = Profile(engine);
    const long long anchor = FindFrom(lowerPage, profile.anchorMarker, 0) + profile.anchorOffset;
    const long long target = FindFrom(lowerPage, lowerTarget, anchor);
    int counted = 0;
    long long marker = anchor;
    while (counted < kMostCountedResults) {
        marker = FindFrom(lowerPage, profile.resultMarker, marker + 1);
        if (marker == -1 || target < marker) {
            break;
        }
        ++counted;
    }
    return counted;
}

LookupOutcome RankOn(RankColumn engine, const ServiceEndpoints& services, int maxRankingPages,
                     const PageFetch& fetch, std::string keyphrase, std::string target) {
    if (keyphrase == kNoAnchorText || maxRankingPages <= 0) {
        return LookupOutcome::NotFound();
    }
    const EngineProfile& profile = Profile(engine);
    // Pages are compared in lower case, so every marker is too.
    const std::string nextMarker =
        LowerAscii(profile.configuredNextMarker != nullptr ? services.*profile.configuredNextMarker
                                                           : std::string(profile.nextMarker));
    target = LowerAscii(target);
    // A result page that failed is read like any other (it holds no marker,
    // so the check ends there), and the failure is what the check reports
    // when the target was not found.
    std::string problem;
    for (int pageIndex = 0; pageIndex < maxRankingPages; ++pageIndex) {
        const PageAnswer answer = fetch(SearchPageAddress(engine, services, keyphrase, pageIndex));
        if (problem.empty() && !answer.Usable()) {
            problem = answer.Problem();
        }
        const std::string page = LowerAscii(answer.body);
        if (Contains(page, target) &&
            (!profile.targetNeedsAnchor || Contains(page, profile.anchorMarker))) {
            return LookupOutcome::Found(CountResultsBefore(engine, page, target) +
                                        kResultsPerPage * pageIndex + profile.addedToResult);
        }
        if (!Contains(page, nextMarker)) {
            break;
        }
    }
    return problem.empty() ? LookupOutcome::NotFound() : LookupOutcome::Failed(problem);
}

}  // namespace veltrap
