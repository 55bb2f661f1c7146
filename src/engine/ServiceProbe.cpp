#include "engine/ServiceProbe.h"

#include "base/QuotedText.h"
#include "engine/ServiceCatalog.h"
#include "net/PageFetch.h"

#include <memory>
#include <utility>

namespace veltrap {
namespace {

using Role = ServiceDescriptor::Role;

// Every secret of the configuration written as "***", whatever a service
// echoed back or an error message repeated.
std::string Hidden(std::string words, const ServiceConfig& config) {
    for (const ConfigEntry& entry : config.Entries()) {
        if (entry.secret && !entry.value.empty()) {
            words = WithoutSecret(std::move(words), entry.value);
        }
    }
    return words;
}

std::string Lookup(const LookupOutcome& outcome, const std::string& found,
                   const std::string& missing) {
    return outcome.found() ? found + std::to_string(outcome.value()) : missing;
}

Result<std::string> Ask(const ServiceDescriptor& service, const ServiceConfig& config,
                        const std::string& site, const PageFetch& fetch) {
    const ServiceContext context = config.Context();
    const std::string page = "http://" + site + "/";
    LookupOutcome outcome = LookupOutcome::NotFound();
    std::string words;
    switch (service.role) {
        case Role::kBacklinks:
            return service.makeSource(context)->Probe(site, fetch);
        case Role::kAuthority:
            outcome = service.makeAuthority(context)->Authority(page, fetch);
            words = Lookup(outcome, page + " has authority ", "no authority known for " + page);
            break;
        case Role::kSearch:
            // One query, of one result page: the site's own name ranks it if
            // anything does.
            outcome = service.makeRank(context, kRankColumns.front())->Rank(site, site, 1, fetch);
            words = Lookup(outcome, site + " ranks ", site + " is not on the first result page") +
                    " for \"" + site + "\"";
            break;
    }
    if (outcome.failed()) {
        return Failure{outcome.reason()};
    }
    return words;
}

}  // namespace

std::string ServiceProbe::Title(std::string_view name) {
    using Role = ServiceDescriptor::Role;
    for (const Role role : {Role::kBacklinks, Role::kAuthority, Role::kSearch}) {
        if (const ServiceDescriptor* service = ServiceCatalog::Default().Find(role, name);
            service != nullptr && !service->title.empty()) {
            return service->title;
        }
    }
    return std::string(name);
}

Result<std::string> ServiceProbe::Test(const ServiceConfig& config, Role role,
                                       const std::string& site, const RunStop& stop) {
    const std::string& name = config.Chosen(role);
    const ServiceDescriptor* service = ServiceCatalog::Default().Find(role, name);
    if (service == nullptr) {
        return Failure{"no service is named '" + name + "'", true};
    }
    const std::string title = Title(name);
    if (service->check) {
        if (Status usable = service->check(config.Context()); !usable) {
            return Failure{title + " cannot be asked: " + usable.reason(), true};
        }
    }
    HttpSession session(config.http, stop);
    Result<std::string> answered = Ask(*service, config, site, SessionFetch(session));
    if (!answered) {
        return Failure{Hidden(title + " failed: " + answered.reason(), config)};
    }
    return Hidden(title + " answered: " + *answered, config);
}

}  // namespace veltrap
