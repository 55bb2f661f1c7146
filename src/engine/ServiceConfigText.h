#pragma once

#include "engine/ServiceConfig.h"

#include <string>
#include <string_view>

namespace veltrap {

// What secret values are printed as.
inline constexpr std::string_view kMaskedSecret = "********";

// Whether a key's value is kept out of print by its name alone: a name ending
// in "_key" or holding "secret" or "token", in any case. Services that add an
// access key need not remember to declare it secret to keep it off screens.
bool IsSecretKeyName(std::string_view key);

// The configuration in force as an INI file, every key with its value, that
// reads back as the same configuration except that secrets are masked. The
// header comment names where it came from.
std::string ServiceConfigText(const ServiceConfig& config, const std::string& origin);

}  // namespace veltrap
