#include "demo/DemoConfig.h"

#include "engine/ServiceCatalog.h"

namespace veltrap {

std::string DemoSiteName() {
    return "www.veltrap-demo.example";
}

ServiceEndpoints DemoEndpoints() {
    return DemoServiceConfig(ServiceConfig{}, 0).services;
}

ServiceConfig DemoServiceConfig(const ServiceConfig& base, int port) {
    ServiceConfig config = base;
    for (const ServiceDescriptor& service : ServiceCatalog::Default().Services()) {
        if (service.pointAtDemo) {
            service.pointAtDemo(config.services, config.settings);
        }
    }
    config.http.connectTo = "127.0.0.1:" + std::to_string(port);
    return config;
}

std::string DemoConfigText(int port) {
    const ServiceConfig defaults;
    const ServiceConfig demo = DemoServiceConfig(defaults, port);
    const ServiceEndpoints& services = demo.services;
    std::string text =
        "; Veltrap demo web on 127.0.0.1:" + std::to_string(port) +
        ". Save this as demo.ini and run, for example:\n"
        ";   veltrap-report --config demo.ini " +
        DemoSiteName() +
        "\n"
        "[services]\n"
        "site_explorer_host = " +
        services.siteExplorerHost +
        "\nsite_explorer_next_marker = " + services.siteExplorerNextMarker +
        "\ngoogle_host = " + services.googleHost + "\nyahoo_host = " + services.yahooHost +
        "\nyahoo_next_marker = " + services.yahooNextMarker + "\nmsn_host = " + services.msnHost +
        "\npagerank_host = " + services.pagerankHost + "\n";
    // The keys of the other sections that the demo points elsewhere.
    for (const auto& [section, keys] : demo.settings.All()) {
        std::string lines;
        for (const auto& [key, value] : keys) {
            if (value != defaults.settings.Get(section, key)) {
                lines += key + " = " + value + "\n";
            }
        }
        if (!lines.empty()) {
            text += "\n[" + section + "]\n" + lines;
        }
    }
    text += "\n[http]\nconnect_to = 127.0.0.1:" + std::to_string(port) + "\n";
    return text;
}

}  // namespace veltrap
