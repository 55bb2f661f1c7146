#include "engine/ConfigLocation.h"

#include <cerrno>
#include <cstdlib>

#include <sys/stat.h>

namespace veltrap {
namespace {

constexpr const char* kRelativePath = "/veltrap/services.ini";

}  // namespace

std::string ConfigLocation::DefaultPath() {
    return DefaultPath(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::string ConfigLocation::DefaultPath(const char* xdgConfigHome, const char* home) {
    // The base directory rules ignore a relative XDG_CONFIG_HOME, which would
    // otherwise make the file depend on the folder a program starts in.
    if (xdgConfigHome != nullptr && xdgConfigHome[0] == '/') {
        return std::string(xdgConfigHome) + kRelativePath;
    }
    if (home != nullptr && home[0] != '\0') {
        return std::string(home) + "/.config" + kRelativePath;
    }
    return {};
}

Result<ServiceConfig> ConfigLocation::LoadInForce(const std::string& named,
                                                  const std::string& defaultPath) {
    if (!named.empty()) {
        return ServiceConfig::Load(named);
    }
    struct stat info {};
    if (defaultPath.empty() ||
        (::stat(defaultPath.c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR))) {
        return ServiceConfig{};
    }
    // Anything else that is there, or cannot be looked at, is read so that
    // its problem is told rather than passed over.
    return ServiceConfig::Load(defaultPath);
}

std::string ConfigLocation::Describe(const ServiceConfig& config, const std::string& defaultPath) {
    if (!config.file.empty()) {
        return config.file;
    }
    if (defaultPath.empty()) {
        return "none, the built-in settings";
    }
    return "none, the built-in settings (" + defaultPath + " does not exist)";
}

}  // namespace veltrap
