#include "services/bingwebmaster/BingWebmasterService.h"

#include "base/AsciiCase.h"
#include "demoworld/DemoRoutes.h"
#include "demoworld/DemoText.h"
#include "demoworld/DemoWorld.h"
#include "services/bingwebmaster/BingWebmasterAnswer.h"
#include "services/bingwebmaster/BingWebmasterSource.h"

#include <charconv>
#include <cstdint>
#include <map>
#include <string>

namespace veltrap {
namespace {

constexpr const char* kSection = "backlinks";
constexpr const char* kUrlKey = "bing_api_url";
constexpr const char* kKeyKey = "bing_api_key";
constexpr const char* kSiteKey = "bing_site_url";
constexpr const char* kKeyEnvironment = "VELTRAP_BING_API_KEY";
constexpr std::string_view kApiPath = "/webmaster/api.svc/json";

Status CheckSettings(const ServiceContext& context) {
    if (context.settings.Get(kSection, kKeyKey).empty()) {
        return Failure{std::string("the ") + BingWebmasterSource::kName +
                           " backlink source needs an API key: set key '" + kKeyKey + "' in [" +
                           kSection + "] or the environment variable " + kKeyEnvironment,
                       true};
    }
    if (context.settings.Get(kSection, kUrlKey).empty()) {
        return Failure{std::string("key '") + kUrlKey + "' in [" + kSection +
                           "] must not be empty for the " + BingWebmasterSource::kName +
                           " backlink source",
                       true};
    }
    return {};
}

// The demo site a siteUrl names: without its scheme and a leading "www.".
std::string IdentityOf(std::string_view siteUrl) {
    for (const std::string_view scheme : {"https://", "http://"}) {
        if (StartsWithNoCase(siteUrl, scheme)) {
            siteUrl.remove_prefix(scheme.size());
            break;
        }
    }
    return SiteIdentity(HostIdentity(siteUrl));
}

DemoAnswer AnswerDemo(const DemoRequest& request, const DemoWorld& world) {
    const std::string counts = std::string(kApiPath) + "/GetLinkCounts";
    const std::string links = std::string(kApiPath) + "/GetUrlLinks";
    if (request.path != counts && request.path != links) {
        return DemoAnswer::NotFound(request.path);
    }
    std::map<std::string, std::string> asked;
    for (auto& [key, value] : QueryPairs(request.query)) {
        asked.emplace(std::move(key), std::move(value));
    }
    if (asked["apikey"] != kDemoBingKey) {
        return DemoAnswer::Json(RenderBingError(3, "InvalidApiKey"), 401);
    }
    const std::string& pageText = asked["page"];
    std::int64_t page = 0;
    const auto [end, error] =
        std::from_chars(pageText.data(), pageText.data() + pageText.size(), page);
    const std::string identity = IdentityOf(asked["siteUrl"]);
    if (error != std::errc() || end != pageText.data() + pageText.size() || page < 0 ||
        identity.empty()) {
        return DemoAnswer::Json(RenderBingError(2, "InvalidParameter"), 400);
    }
    const auto site = world.Site(identity);
    if (request.path == counts) {
        return DemoAnswer::Json(RenderBingLinkCounts(*site, asked["siteUrl"], page));
    }
    return DemoAnswer::Json(RenderBingUrlLinks(*site, asked["siteUrl"], asked["link"], page));
}

}  // namespace

ServiceDescriptor BingWebmasterService() {
    ServiceDescriptor service;
    service.role = ServiceDescriptor::Role::kBacklinks;
    service.name = BingWebmasterSource::kName;
    service.title = "Bing Webmaster Tools";
    service.keys = {
        {kSection, kUrlKey, "https://ssl.bing.com/webmaster/api.svc/json", ConfigKey::Kind::kWebUrl,
         "", "the JSON address of Bing Webmaster Tools' API", "API address"},
        {kSection, kKeyKey, "", ConfigKey::Kind::kSecret, kKeyEnvironment,
         "the Bing Webmaster Tools API key (Settings, API access)", "API key"},
        {kSection, kSiteKey, "", ConfigKey::Kind::kWebUrl, "",
         "the site as verified in Bing Webmaster Tools; empty means https:// + the site + /",
         "Site as verified"},
    };
    service.makeSource = [](const ServiceContext& context) {
        return std::make_unique<BingWebmasterSource>(context.settings.Get(kSection, kUrlKey),
                                                     context.settings.Get(kSection, kKeyKey),
                                                     context.settings.Get(kSection, kSiteKey));
    };
    service.check = &CheckSettings;
    service.addDemoRoutes = [](DemoRoutes& routes) {
        routes.Add(std::string(kDemoBingHost), &AnswerDemo);
    };
    service.pointAtDemo = [](ServiceEndpoints&, ServiceSettings& settings) {
        settings.Set(kSection, kUrlKey,
                     "http://" + std::string(kDemoBingHost) + std::string(kApiPath));
        settings.Set(kSection, kKeyKey, std::string(kDemoBingKey));
    };
    return service;
}

}  // namespace veltrap
