#include "services/searxng/SearxngResults.h"

#include "demoworld/DemoHash.h"
#include "demoworld/DemoSearch.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <optional>

namespace veltrap {
namespace {

using Json = nlohmann::json;

constexpr std::size_t kPerPage = 10;

struct PlayedEngine {
    std::string_view name;
    DemoEngine engine;
};

constexpr PlayedEngine kPlayed[] = {
    {"google", DemoEngine::kGoogle},
    {"yahoo", DemoEngine::kYahoo},
    {"bing", DemoEngine::kMsn},
};

std::optional<PlayedEngine> FirstPlayed(const std::vector<std::string>& engines) {
    for (const std::string& name : engines) {
        for (const PlayedEngine& played : kPlayed) {
            if (name == played.name) {
                return played;
            }
        }
    }
    return std::nullopt;
}

// A keyphrase is a byte string that need not be UTF-8; SearXNG reads such
// bytes as replacement characters, and so does the demo, rather than fail.
std::string Dumped(const Json& page) {
    return page.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

std::string RenderSearxngResults(std::string_view query, const std::vector<std::string>& engines,
                                 long pageNumber, const DemoSite* site) {
    Json page = {{"query", query},
                 {"number_of_results", 0},
                 {"results", Json::array()},
                 {"answers", Json::array()},
                 {"corrections", Json::array()},
                 {"infoboxes", Json::array()},
                 {"suggestions", Json::array()},
                 {"unresponsive_engines", Json::array()}};
    const std::optional<PlayedEngine> played = FirstPlayed(engines);
    if (!played) {
        return Dumped(page);
    }
    const std::string name(played->name);
    if (DemoHash(query).Add(name).Add("captcha").Below(100) < 3) {
        page["unresponsive_engines"].push_back(Json::array({name, "CAPTCHA"}));
        return Dumped(page);
    }
    const std::vector<DemoSearchHit> hits = DemoSearch::Results(played->engine, query, site);
    page["number_of_results"] = hits.size();
    const std::size_t index = pageNumber > 1 ? static_cast<std::size_t>(pageNumber - 1) : 0;
    const std::size_t from = std::min(hits.size(), index * kPerPage);
    const std::size_t to = std::min(hits.size(), from + kPerPage);
    for (std::size_t i = from; i < to; ++i) {
        page["results"].push_back({{"url", hits[i].url},
                                   {"title", hits[i].title},
                                   {"content", hits[i].snippet},
                                   {"engine", name},
                                   {"engines", Json::array({name})},
                                   {"positions", Json::array({i + 1})},
                                   {"category", "general"}});
    }
    return Dumped(page);
}

}  // namespace veltrap
