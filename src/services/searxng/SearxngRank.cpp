#include "services/searxng/SearxngRank.h"

#include "base/AsciiCase.h"
#include "base/JsonNesting.h"
#include "base/TextSearch.h"
#include "net/EscapeQueryValue.h"
#include "scrape/SiteLink.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <limits>

namespace veltrap {
namespace {

using Json = nlohmann::json;

// Why a page cannot be read, or "" when it can.
std::string PageProblem(const PageAnswer& answer) {
    if (!answer.answered || answer.refused || answer.tooManyRedirects) {
        return answer.Problem();
    }
    if (answer.status == 403) {
        return "HTTP 403: add json under search.formats in SearXNG's settings.yml";
    }
    if (answer.status != 200) {
        return "HTTP " + std::to_string(answer.status);
    }
    return {};
}

// The first engine asked that the page lists as unresponsive, with its
// reason ("google (CAPTCHA)"), or "".
std::string Unresponsive(const Json& page, const std::vector<std::string>& engines) {
    const auto listed = page.find("unresponsive_engines");
    if (listed == page.end() || !listed->is_array()) {
        return {};
    }
    for (const Json& entry : *listed) {
        if (!entry.is_array() || entry.empty() || !entry[0].is_string()) {
            continue;
        }
        const std::string name = entry[0].get<std::string>();
        const bool asked = std::any_of(engines.begin(), engines.end(),
                                       [&](const std::string& e) { return EqualsNoCase(e, name); });
        if (asked) {
            const bool told = entry.size() > 1 && entry[1].is_string();
            return name + (told ? " (" + entry[1].get<std::string>() + ")" : "");
        }
    }
    return {};
}

}  // namespace

std::vector<std::string> SearxngEngines(std::string_view list) {
    std::vector<std::string> engines;
    while (true) {
        const auto comma = list.find(',');
        const std::string_view name = Trimmed(list.substr(0, comma), " \t");
        if (!name.empty()) {
            engines.emplace_back(name);
        }
        if (comma == std::string_view::npos) {
            return engines;
        }
        list.remove_prefix(comma + 1);
    }
}

std::string SearxngPageAddress(std::string_view baseUrl, std::string_view keyphrase,
                               const std::vector<std::string>& engines, int pageNumber) {
    while (baseUrl.ends_with('/')) {
        baseUrl.remove_suffix(1);
    }
    std::string names;
    for (const std::string& engine : engines) {
        names += (names.empty() ? "" : ",") + EscapeQueryValue(engine);
    }
    return std::string(baseUrl) + "/search?q=" + EscapeQueryValue(keyphrase) +
           "&format=json&engines=" + names + "&pageno=" + std::to_string(pageNumber);
}

LookupOutcome RankOnSearxng(std::string_view baseUrl, const std::vector<std::string>& engines,
                            int maxRankingPages, const PageFetch& fetch,
                            const std::string& keyphrase, const std::string& target) {
    if (keyphrase == kNoAnchorText || maxRankingPages <= 0) {
        return LookupOutcome::NotFound();
    }
    const std::string wanted = LowerAscii(target);
    std::int64_t position = 0;
    for (int page = 1; page <= maxRankingPages; ++page) {
        const PageAnswer answer = fetch(SearxngPageAddress(baseUrl, keyphrase, engines, page));
        if (std::string problem = PageProblem(answer); !problem.empty()) {
            return LookupOutcome::Failed(std::move(problem));
        }
        if (JsonNestsDeeperThan(answer.body)) {
            return LookupOutcome::Failed(TooDeeplyNestedProblem());
        }
        const Json body = Json::parse(answer.body, nullptr, false);
        if (body.is_discarded() || !body.is_object()) {
            return LookupOutcome::Failed("the answer is not JSON");
        }
        if (const std::string engine = Unresponsive(body, engines); !engine.empty()) {
            return LookupOutcome::Failed("engine " + engine + " did not answer on page " +
                                         std::to_string(page));
        }
        const auto results = body.find("results");
        if (results == body.end() || !results->is_array()) {
            return LookupOutcome::Failed("the answer has no results list");
        }
        if (results->empty()) {
            break;
        }
        for (const Json& result : *results) {
            ++position;
            const auto url = result.find("url");
            if (url != result.end() && url->is_string() &&
                Contains(LowerAscii(url->get<std::string>()), wanted)) {
                return LookupOutcome::Found(static_cast<std::int32_t>(
                    std::min<std::int64_t>(position, std::numeric_limits<std::int32_t>::max())));
            }
        }
    }
    return LookupOutcome::NotFound();
}

}  // namespace veltrap
