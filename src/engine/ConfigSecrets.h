#pragma once

#include "base/Result.h"
#include "engine/SecretStore.h"
#include "engine/ServiceConfig.h"
#include "services/ConfigKey.h"

#include <string>
#include <vector>

namespace veltrap {

// The services' secrets and where each one's value comes from: its
// environment variable, then the configuration file, then a secret store.
class ConfigSecrets {
public:
    // Every key a service declares as a secret, in the catalog's order.
    static std::vector<ConfigKey> Keys();

    // Gives each secret of the chosen services that neither the environment
    // nor the file set (its value is empty) the value the store keeps, except
    // the keys in skip. A
    // store that cannot be read leaves those secrets empty and fails with its
    // reason; what it could read is kept.
    static Status Fill(ServiceConfig& config, SecretStore& store,
                       const std::vector<std::string>& skip = {});
};

}  // namespace veltrap
