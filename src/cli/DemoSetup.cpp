#include "cli/DemoSetup.h"

#include "demo/DemoConfig.h"
#include "demo/DemoWeb.h"

namespace veltrap {

Result<DemoSetup> StartDemoWeb(const ServiceConfig& base, int latencyMs, int size) {
    DemoOptions options;
    options.latencyMs = latencyMs;
    options.size = size;
    auto web = std::make_shared<DemoWeb>(options);
    if (Status started = web->Start(); !started) {
        return started.failure();
    }
    return DemoSetup{DemoServiceConfig(base, web->Port()), std::move(web)};
}

}  // namespace veltrap
