#pragma once

#include "engine/ServiceConfig.h"

#include <memory>
#include <string>

namespace veltrap {

// What a run against the built-in demo web needs: the configuration that
// reaches it, and the web itself, which serves for as long as `web` is held.
struct DemoSetup {
    ServiceConfig config;
    std::shared_ptr<void> web;
    std::string error;  // empty when the demo web is up
};

// Starts the built-in demo web on loopback.
DemoSetup StartDemoWeb();

}  // namespace veltrap
