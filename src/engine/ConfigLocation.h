#pragma once

#include "base/Result.h"
#include "engine/ServiceConfig.h"

#include <string>

namespace veltrap {

// Where the service configuration is found when no file is named: the
// per-user configuration folder of the XDG base directories, which desktop
// programs on Linux share.
class ConfigLocation {
public:
    // veltrap/services.ini under $XDG_CONFIG_HOME, or under ~/.config when that
    // variable is unset, empty or not an absolute path; "" when neither is known.
    static std::string DefaultPath();
    static std::string DefaultPath(const char* xdgConfigHome, const char* home);

    // The configuration in force: the named file when there is one, otherwise
    // the file at defaultPath when it exists, otherwise the built-in one. A
    // default file that is missing is no error; one that is there but broken
    // is refused like a named one.
    static Result<ServiceConfig> LoadInForce(const std::string& named,
                                             const std::string& defaultPath);

    // Which file a configuration came from, in words for people.
    static std::string Describe(const ServiceConfig& config, const std::string& defaultPath);
};

}  // namespace veltrap
