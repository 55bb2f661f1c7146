#include "demo/DemoConfig.h"

namespace veltrap {

std::string DemoSiteName() {
    return "www.veltrap-demo.example";
}

ServiceEndpoints DemoEndpoints() {
    ServiceEndpoints services;
    services.siteExplorerHost = std::string(kDemoSiteExplorerHost);
    services.siteExplorerNextMarker = std::string(kDemoNextMarker);
    services.googleHost = std::string(kDemoGoogleHost);
    services.yahooHost = std::string(kDemoYahooHost);
    services.yahooNextMarker = std::string(kDemoNextMarker);
    services.msnHost = std::string(kDemoMsnHost);
    services.pagerankHost = std::string(kDemoPageRankHost);
    return services;
}

ServiceConfig DemoServiceConfig(const ServiceConfig& base, int port) {
    ServiceConfig config = base;
    config.services = DemoEndpoints();
    config.http.connectTo = "127.0.0.1:" + std::to_string(port);
    return config;
}

std::string DemoConfigText(int port) {
    const ServiceEndpoints services = DemoEndpoints();
    return "; Veltrap demo web on 127.0.0.1:" + std::to_string(port) +
           ". Save this as demo.ini and run, for example:\n"
           ";   veltrap-report --config demo.ini " +
           DemoSiteName() +
           "\n"
           "[services]\n"
           "site_explorer_host = " +
           services.siteExplorerHost +
           "\nsite_explorer_next_marker = " + services.siteExplorerNextMarker +
           "\ngoogle_host = " + services.googleHost + "\nyahoo_host = " + services.yahooHost +
           "\nyahoo_next_marker = " + services.yahooNextMarker +
           "\nmsn_host = " + services.msnHost + "\npagerank_host = " + services.pagerankHost +
           "\n\n[http]\nconnect_to = 127.0.0.1:" + std::to_string(port) + "\n";
}

}  // namespace veltrap
