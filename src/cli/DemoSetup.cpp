#include "cli/DemoSetup.h"

#include "demo/DemoConfig.h"
#include "demo/DemoWeb.h"

namespace veltrap {

DemoSetup StartDemoWeb(const ServiceConfig& base, int latencyMs, int size) {
    DemoOptions options;
    options.latencyMs = latencyMs;
    options.size = size;
    DemoSetup setup;
    auto web = std::make_shared<DemoWeb>(options);
    setup.error = web->Start().reason();
    if (setup.error.empty()) {
        setup.config = DemoServiceConfig(base, web->Port());
        setup.web = std::move(web);
    }
    return setup;
}

}  // namespace veltrap
