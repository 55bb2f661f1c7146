#pragma once

#include "base/Result.h"

#include <string>

namespace veltrap {

// Somewhere outside the configuration file that keeps the services' secrets,
// such as the desktop's keyring. A secret is known by the name of the
// configuration key it stands for ("bing_api_key").
class SecretStore {
public:
    virtual ~SecretStore() = default;

    // The secret kept under key, or "" when none is; a store that cannot be
    // reached fails with its reason.
    virtual Result<std::string> Read(const std::string& key) = 0;
    // Keeps value under key in place of any earlier one; "" removes it.
    virtual Status Write(const std::string& key, const std::string& value) = 0;
};

}  // namespace veltrap
