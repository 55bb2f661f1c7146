#pragma once

#include "base/Result.h"
#include "engine/ServiceConfig.h"

#include <memory>

namespace veltrap {

class DemoWeb;

// What a run against the built-in demo web needs: the configuration that
// reaches it, and the web itself, which serves for as long as `web` is held.
struct DemoSetup {
    ServiceConfig config;
    std::shared_ptr<DemoWeb> web;
};

// Starts the built-in demo web on loopback and points every service of base
// at it; base's other HTTP settings stay.
Result<DemoSetup> StartDemoWeb(const ServiceConfig& base, int latencyMs, int size);

}  // namespace veltrap
