#pragma once

#include "net/HttpOptions.h"
#include "scrape/ServiceEndpoints.h"

#include <string>
#include <string_view>

namespace veltrap {

struct ServiceConfigResult;

// The service configuration: where the outside services live and how they are
// reached. Read from an INI file with the sections [services] and [http].
struct ServiceConfig {
    ServiceEndpoints services;
    HttpOptions http;

    // Reads a file; anything the file does not set keeps its default. A broken
    // file gives an error naming the file, the line and the key.
    static ServiceConfigResult Load(const std::string& path);
    // The same for text already in memory; name stands for the file in messages.
    static ServiceConfigResult Parse(const std::string& text, const std::string& name);
    // Whether value is "host:port" with a port from 1 to 65535.
    static bool IsHostAndPort(std::string_view value);
};

struct ServiceConfigResult {
    ServiceConfig config;
    std::string error;  // empty when the configuration is good

    bool ok() const { return error.empty(); }
};

}  // namespace veltrap
