#pragma once

#include "engine/ServiceConfig.h"

#include <memory>
#include <string>

namespace veltrap {

class DemoWeb;

// What a run against the built-in demo web needs: the configuration that
// reaches it, and the web itself, which serves for as long as `web` is held.
struct DemoSetup {
    ServiceConfig config;
    std::shared_ptr<DemoWeb> web;
    std::string error;  // empty when the demo web is up
};

// Starts the built-in demo web on loopback and points every service of base
// at it; base's other HTTP settings stay.
DemoSetup StartDemoWeb(const ServiceConfig& base, int latencyMs, int size);

}  // namespace veltrap
