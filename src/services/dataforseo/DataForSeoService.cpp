#include "services/dataforseo/DataForSeoService.h"

#include "base/Base64.h"
#include "demoworld/DemoRoutes.h"
#include "demoworld/DemoText.h"
#include "demoworld/DemoWorld.h"
#include "services/dataforseo/DataForSeo.h"
#include "services/dataforseo/DataForSeoAnswer.h"
#include "services/dataforseo/DataForSeoSource.h"

#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

namespace veltrap {
namespace {

constexpr const char* kSection = "backlinks";
constexpr const char* kUrlKey = "dataforseo_url";
constexpr const char* kLoginKey = "dataforseo_login";
constexpr const char* kPasswordKey = "dataforseo_password";
constexpr const char* kLoginEnvironment = "VELTRAP_DATAFORSEO_LOGIN";
constexpr const char* kPasswordEnvironment = "VELTRAP_DATAFORSEO_PASSWORD";
constexpr std::string_view kApiPath = "/v3/backlinks/backlinks/live";

std::string Where(const char* key, const char* environment) {
    return std::string("key '") + key + "' in [" + kSection + "] or the environment variable " +
           environment;
}

Status CheckSettings(const ServiceContext& context) {
    const std::string& login = context.settings.Get(kSection, kLoginKey);
    if (login.empty() || context.settings.Get(kSection, kPasswordKey).empty()) {
        return Failure{std::string("the ") + DataForSeoSource::kName +
                           " backlink source needs a login and a password: set " +
                           Where(kLoginKey, kLoginEnvironment) + ", and " +
                           Where(kPasswordKey, kPasswordEnvironment),
                       true};
    }
    // Basic authentication tells the login from the password by the first
    // colon, so a login holding one would be sent as another account.
    if (login.find(':') != std::string::npos) {
        return Failure{"the " + Where(kLoginKey, kLoginEnvironment) + " holds a colon", true};
    }
    if (context.settings.Get(kSection, kUrlKey).empty()) {
        return Failure{std::string("key '") + kUrlKey + "' in [" + kSection +
                           "] must not be empty for the " + DataForSeoSource::kName +
                           " backlink source",
                       true};
    }
    return {};
}

DemoAnswer AnswerDemo(const DemoRequest& request, const DemoWorld& world) {
    if (request.path != kApiPath) {
        return DemoAnswer::NotFound(request.path);
    }
    if (request.method != "POST") {
        return DemoAnswer::Json(RenderDataForSeoRefusal(40501, "Method Not Allowed."), 405);
    }
    const auto authorization = request.headers.find("authorization");
    const std::string expected = "Basic " + Base64Encode(std::string(kDemoDataForSeoLogin) + ":" +
                                                         std::string(kDemoDataForSeoPassword));
    if (authorization == request.headers.end() || authorization->second != expected) {
        return DemoAnswer::Json(
            RenderDataForSeoRefusal(40100, "You are not authorized to access this resource."), 401);
    }
    const nlohmann::json body = nlohmann::json::parse(request.body, nullptr, false);
    const nlohmann::json* task =
        body.is_array() && body.size() == 1 && body[0].is_object() ? &body[0] : nullptr;
    const auto field = [task](const char* name) {
        return task != nullptr && task->contains(name) ? task->at(name) : nlohmann::json();
    };
    const nlohmann::json target = field("target");
    const nlohmann::json offset = field("offset");
    const nlohmann::json limit = field("limit");
    if (task == nullptr) {
        return DemoAnswer::Json(RenderDataForSeoRefusal(40006, "Invalid POST Data."));
    }
    const std::string identity =
        target.is_string() ? SiteIdentity(HostIdentity(target.get<std::string>())) : "";
    if (identity.empty()) {
        return DemoAnswer::Json(RenderDataForSeoTaskError(40501, "Invalid Field: 'target'."));
    }
    if (!offset.is_number_integer() || offset.get<std::int64_t>() < 0 ||
        !limit.is_number_integer() || limit.get<std::int64_t>() < 1 ||
        limit.get<std::int64_t>() > kDataForSeoLimit) {
        return DemoAnswer::Json(
            RenderDataForSeoTaskError(40501, "Invalid Field: 'limit' or 'offset'."));
    }
    return DemoAnswer::Json(
        RenderDataForSeoBacklinks(*world.Site(identity), target.get<std::string>(),
                                  offset.get<std::int64_t>(), limit.get<std::int64_t>()));
}

}  // namespace

ServiceDescriptor DataForSeoService() {
    ServiceDescriptor service;
    service.role = ServiceDescriptor::Role::kBacklinks;
    service.name = DataForSeoSource::kName;
    service.title = "DataForSEO";
    service.keys = {
        {kSection, kUrlKey, "https://api.dataforseo.com/v3/backlinks/backlinks/live",
         ConfigKey::Kind::kWebUrl, "", "DataForSEO's live backlinks endpoint", "API address"},
        {kSection, kLoginKey, "", ConfigKey::Kind::kText, kLoginEnvironment,
         "the DataForSEO account's login", "Login"},
        {kSection, kPasswordKey, "", ConfigKey::Kind::kSecret, kPasswordEnvironment,
         "the DataForSEO account's API password", "API password"},
    };
    service.makeSource = [](const ServiceContext& context) {
        return std::make_unique<DataForSeoSource>(context.settings.Get(kSection, kUrlKey),
                                                  context.settings.Get(kSection, kLoginKey),
                                                  context.settings.Get(kSection, kPasswordKey));
    };
    service.check = &CheckSettings;
    service.addDemoRoutes = [](DemoRoutes& routes) {
        routes.Add(std::string(kDemoDataForSeoHost), &AnswerDemo);
    };
    service.pointAtDemo = [](ServiceEndpoints&, ServiceSettings& settings) {
        settings.Set(kSection, kUrlKey,
                     "http://" + std::string(kDemoDataForSeoHost) + std::string(kApiPath));
        settings.Set(kSection, kLoginKey, std::string(kDemoDataForSeoLogin));
        settings.Set(kSection, kPasswordKey, std::string(kDemoDataForSeoPassword));
    };
    return service;
}

}  // namespace veltrap
