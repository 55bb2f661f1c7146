#include "engine/ConfigSecrets.h"

#include "engine/ServiceCatalog.h"

#include <algorithm>
#include <functional>

namespace veltrap {
namespace {

// The secrets of the services that wanted says yes to, in the catalog's order.
std::vector<ConfigKey> SecretsOf(const std::function<bool(const ServiceDescriptor&)>& wanted) {
    std::vector<ConfigKey> keys;
    for (const ServiceDescriptor& service : ServiceCatalog::Default().Services()) {
        if (!wanted(service)) {
            continue;
        }
        for (const ConfigKey& key : service.keys) {
            if (key.kind == ConfigKey::Kind::kSecret) {
                keys.push_back(key);
            }
        }
    }
    return keys;
}

}  // namespace

std::vector<ConfigKey> ConfigSecrets::Keys() {
    return SecretsOf([](const ServiceDescriptor&) { return true; });
}

Status ConfigSecrets::Fill(ServiceConfig& config, SecretStore& store,
                           const std::vector<std::string>& skip) {
    // Only the chosen services' secrets are asked for: a locked keyring may
    // ask its owner to unlock it, which a run that needs nothing from it
    // should not cause.
    const std::vector<ConfigKey> needed = SecretsOf([&config](const ServiceDescriptor& service) {
        return service.name == config.Chosen(service.role);
    });
    Status outcome;
    for (const ConfigKey& key : needed) {
        if (!config.settings.Get(key.section, key.key).empty() ||
            std::find(skip.begin(), skip.end(), key.key) != skip.end()) {
            continue;
        }
        Result<std::string> kept = store.Read(key.key);
        if (!kept) {
            // The first reason is the one worth telling; the store is the same.
            if (outcome) {
                outcome = kept.failure();
            }
            continue;
        }
        config.settings.Set(key.section, key.key, *kept);
    }
    return outcome;
}

}  // namespace veltrap
