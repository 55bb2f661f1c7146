#include "services/searxng/SearxngService.h"

#include "demoworld/DemoRoutes.h"
#include "demoworld/DemoSearch.h"
#include "demoworld/DemoText.h"
#include "demoworld/DemoWorld.h"
#include "services/searxng/SearxngRank.h"
#include "services/searxng/SearxngRankProvider.h"
#include "services/searxng/SearxngResults.h"

#include <charconv>
#include <map>

namespace veltrap {
namespace {

constexpr const char* kSection = "search";
constexpr const char* kUrlKey = "searxng_url";

// The key naming each column's engines, and its default.
struct ColumnEngines {
    RankColumn column;
    const char* key;
    const char* defaultList;
};

constexpr ColumnEngines kColumns[] = {
    {RankColumn::kGoogle, "google_engines", "google"},
    {RankColumn::kYahoo, "yahoo_engines", "yahoo"},
    {RankColumn::kMsn, "msn_engines", "bing"},
};

const ColumnEngines& EnginesOf(RankColumn column) {
    for (const ColumnEngines& entry : kColumns) {
        if (entry.column == column) {
            return entry;
        }
    }
    return kColumns[0];
}

Status CheckSettings(const ServiceContext& context) {
    if (context.settings.Get(kSection, kUrlKey).empty()) {
        return Failure{std::string("the ") + SearxngRankProvider::kName +
                           " search provider needs key '" + kUrlKey + "' in [" + kSection +
                           "], such as http://127.0.0.1:8888",
                       true};
    }
    for (const ColumnEngines& entry : kColumns) {
        if (SearxngEngines(context.settings.Get(kSection, entry.key)).empty()) {
            return Failure{
                std::string("key '") + entry.key + "' in [" + kSection + "] names no engine", true};
        }
    }
    return {};
}

// The query's values by key; a repeated key keeps its first.
std::map<std::string, std::string> QueryValues(std::string_view query) {
    std::map<std::string, std::string> values;
    for (auto& [key, value] : QueryPairs(query)) {
        values.emplace(std::move(key), std::move(value));
    }
    return values;
}

DemoAnswer AnswerDemo(const DemoRequest& request, const DemoWorld& world) {
    if (request.path != "/search") {
        return DemoAnswer::NotFound(request.path);
    }
    std::map<std::string, std::string> values = QueryValues(request.query);
    // As an instance whose settings allow no other format than HTML.
    if (values["format"] != "json") {
        DemoAnswer refusal = DemoAnswer::Html("<html><body><h1>Forbidden</h1></body></html>\n");
        refusal.status = 403;
        return refusal;
    }
    const std::string& pageText = values["pageno"];
    long page = 1;
    std::from_chars(pageText.data(), pageText.data() + pageText.size(), page);
    const std::string& query = values["q"];
    const std::string named = DemoSearch::NamedSite(query);
    const auto site = named.empty() ? nullptr : world.Site(named);
    return DemoAnswer::Json(
        RenderSearxngResults(query, SearxngEngines(values["engines"]), page, site.get()));
}

}  // namespace

ServiceDescriptor SearxngService() {
    ServiceDescriptor service;
    service.role = ServiceDescriptor::Role::kSearch;
    service.name = SearxngRankProvider::kName;
    service.title = "SearXNG";
    service.keys.push_back({kSection, kUrlKey, "", ConfigKey::Kind::kWebUrl, "",
                            "the SearXNG instance, with JSON enabled in its settings.yml",
                            "Instance address"});
    for (const ColumnEngines& entry : kColumns) {
        service.keys.push_back(
            {kSection, entry.key, entry.defaultList, ConfigKey::Kind::kNonEmpty, "",
             "the SearXNG engines asked for the " + std::string(RankColumnName(entry.column)) +
                 " column",
             "Engines (" + std::string(RankColumnName(entry.column)) + " column)"});
    }
    service.makeRank = [](const ServiceContext& context, RankColumn column) {
        return std::make_unique<SearxngRankProvider>(
            context.settings.Get(kSection, kUrlKey),
            SearxngEngines(context.settings.Get(kSection, EnginesOf(column).key)), column);
    };
    service.check = &CheckSettings;
    service.addDemoRoutes = [](DemoRoutes& routes) {
        routes.Add(std::string(kDemoSearxngHost), &AnswerDemo);
    };
    service.pointAtDemo = [](ServiceEndpoints&, ServiceSettings& settings) {
        settings.Set(kSection, kUrlKey, "http://" + std::string(kDemoSearxngHost));
    };
    return service;
}

}  // namespace veltrap
