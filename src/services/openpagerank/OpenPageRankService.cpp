#include "services/openpagerank/OpenPageRankService.h"

#include "demoworld/DemoRoutes.h"
#include "demoworld/DemoText.h"
#include "services/openpagerank/OpenPageRankAnswer.h"
#include "services/openpagerank/OpenPageRankProvider.h"

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

namespace veltrap {
namespace {

constexpr const char* kSection = "authority";
constexpr const char* kUrlKey = "openpagerank_url";
constexpr const char* kKeyKey = "openpagerank_key";
constexpr const char* kKeyEnvironment = "VELTRAP_OPENPAGERANK_KEY";
constexpr std::string_view kApiPath = "/api/v1.0/getPageRank";

Status CheckSettings(const ServiceContext& context) {
    const std::string where = std::string("key '") + kKeyKey + "' in [" + kSection +
                              "] or the environment variable " + kKeyEnvironment;
    const std::string& key = context.settings.Get(kSection, kKeyKey);
    if (key.empty()) {
        return Failure{std::string("the ") + OpenPageRankProvider::kName +
                           " authority provider needs a key: set " + where,
                       true};
    }
    // The key goes into a header line, which a control byte would break.
    if (std::any_of(key.begin(), key.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7F; })) {
        return Failure{"the " + where + " holds a control character", true};
    }
    if (context.settings.Get(kSection, kUrlKey).empty()) {
        return Failure{std::string("key '") + kUrlKey + "' in [" + kSection +
                           "] must not be empty for the " + OpenPageRankProvider::kName +
                           " authority provider",
                       true};
    }
    return {};
}

// Every value of "domains[]" in the query, whether or not its brackets came
// escaped.
std::vector<std::string> AskedDomains(std::string_view query) {
    std::vector<std::string> domains;
    for (auto& [key, value] : QueryPairs(query)) {
        if (key == "domains[]") {
            domains.push_back(std::move(value));
        }
    }
    return domains;
}

DemoAnswer AnswerDemo(const DemoRequest& request, const DemoWorld&) {
    if (request.path != kApiPath) {
        return DemoAnswer::NotFound(request.path);
    }
    const auto key = request.headers.find("api-opr");
    if (key == request.headers.end() || key->second != kDemoOpenPageRankKey) {
        return DemoAnswer::Json(RenderOpenPageRankRefusal(), 401);
    }
    return DemoAnswer::Json(RenderOpenPageRankAnswer(AskedDomains(request.query)));
}

}  // namespace

ServiceDescriptor OpenPageRankService() {
    ServiceDescriptor service;
    service.role = ServiceDescriptor::Role::kAuthority;
    service.name = OpenPageRankProvider::kName;
    service.title = "Open PageRank";
    service.keys = {
        {kSection, kUrlKey, "https://openpagerank.com/api/v1.0/getPageRank",
         ConfigKey::Kind::kWebUrl, "", "Open PageRank's getPageRank address", "API address"},
        {kSection, kKeyKey, "", ConfigKey::Kind::kSecret, kKeyEnvironment,
         "the Open PageRank API key, sent as the API-OPR header", "API key"},
    };
    service.makeAuthority = [](const ServiceContext& context) {
        return std::make_unique<OpenPageRankProvider>(context.settings.Get(kSection, kUrlKey),
                                                      context.settings.Get(kSection, kKeyKey));
    };
    service.check = &CheckSettings;
    service.addDemoRoutes = [](DemoRoutes& routes) {
        routes.Add(std::string(kDemoOpenPageRankHost), &AnswerDemo);
    };
    service.pointAtDemo = [](ServiceEndpoints&, ServiceSettings& settings) {
        settings.Set(kSection, kUrlKey,
                     "http://" + std::string(kDemoOpenPageRankHost) + std::string(kApiPath));
        settings.Set(kSection, kKeyKey, std::string(kDemoOpenPageRankKey));
    };
    return service;
}

}  // namespace veltrap
