#pragma once

#include "base/Result.h"
#include "net/HttpOptions.h"
#include "render/RenderOptions.h"
#include "services/ServiceDescriptor.h"
#include "services/ServiceEndpoints.h"
#include "services/ServiceSettings.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// One key of the configuration with the value in force, as a file sets it.
struct ConfigEntry {
    std::string section;
    std::string key;
    std::string value;
    bool secret = false;  // declared as a secret by the service that owns it
};

// The service configuration: where the outside services live, which one
// serves each role, and how they are reached. Read from an INI file with the
// sections [services], [http] and [render], plus a section for each role
// ([backlinks], [authority], [search]) holding its choice and the keys its
// services own.
struct ServiceConfig {
    using Role = ServiceDescriptor::Role;

    // The INI reader takes lines of at most this many bytes; a longer one
    // would be split into pieces and misread, so it is refused.
    static constexpr std::size_t kLongestLine = 198;

    // Every key at its default, environment variables applied.
    ServiceConfig();

    ServiceEndpoints services;
    HttpOptions http;
    RenderOptions render;
    ServiceSettings settings;
    // [monitor] recheck_previous: whether every run also examines the pages
    // the site's latest stored run kept that its source no longer lists.
    bool recheckPrevious = false;
    // The file the configuration was read from; empty for the built-in one.
    std::string file;

    // The name of the service chosen for a role.
    const std::string& Chosen(Role role) const;
    // Whether the chosen services can run as configured; a failure says why,
    // and lays it on the configuration.
    Status CheckServices() const;
    ServiceContext Context() const { return {services, settings}; }
    // Whether pages can be rendered as configured: with a mode other than off
    // the browser must be there, and this gives its executable ("" when off).
    // A failure names the key.
    Result<std::string> CheckRender() const;
    // Every key a file may set, with its value in force, section by section.
    std::vector<ConfigEntry> Entries() const;

    // Reads a file; anything the file does not set keeps its default. A broken
    // file fails, at the input's fault, naming the file, the line and the key;
    // a file that cannot be read fails at the world's.
    static Result<ServiceConfig> Load(const std::string& path);
    // The same for text already in memory; name stands for the file in messages.
    static Result<ServiceConfig> Parse(const std::string& text, const std::string& name);
    // Whether value is "host:port" with a port from 1 to 65535.
    static bool IsHostAndPort(std::string_view value);
};

}  // namespace veltrap
