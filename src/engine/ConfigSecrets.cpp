#include "engine/ConfigSecrets.h"

#include "engine/ServiceCatalog.h"

#include <algorithm>

namespace veltrap {

std::vector<ConfigKey> ConfigSecrets::Keys() {
    std::vector<ConfigKey> keys;
    for (const ServiceDescriptor& service : ServiceCatalog::Default().Services()) {
        for (const ConfigKey& key : service.keys) {
            if (key.kind == ConfigKey::Kind::kSecret) {
                keys.push_back(key);
            }
        }
    }
    return keys;
}

Status ConfigSecrets::Fill(ServiceConfig& config, SecretStore& store,
                           const std::vector<std::string>& skip) {
    // Only the chosen services' secrets are asked for: a locked keyring may
    // ask its owner to unlock it, which a run that needs nothing from it
    // should not cause.
    std::vector<ConfigKey> needed;
    for (const ServiceDescriptor& service : ServiceCatalog::Default().Services()) {
        if (service.name != config.Chosen(service.role)) {
            continue;
        }
        for (const ConfigKey& key : service.keys) {
            if (key.kind == ConfigKey::Kind::kSecret) {
                needed.push_back(key);
            }
        }
    }
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
