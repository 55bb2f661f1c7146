#pragma once

#include "demo/DemoSite.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace veltrap {

struct DemoAnswer {
    int status = 200;
    std::string contentType = "text/html";
    std::string body;
};

// Every page of the demo web, by host name and request target. An answer
// depends on nothing but the request and the size setting, so the same report
// run twice reads the same pages. Safe to call from several threads.
class DemoPages {
public:
    // size is the number of backlinks every site has; 0 lets each site choose.
    explicit DemoPages(int size);

    // host is the Host header (a port after it is ignored for the services);
    // target is the request target as it arrived, still percent-encoded.
    DemoAnswer Answer(std::string_view host, std::string_view target) const;

private:
    std::shared_ptr<const DemoSite> Site(const std::string& identity) const;

    int size_;
    // Recently built sites, so that a run's many requests about one site do
    // not rebuild it each time. Only a speed-up: a site is the same either way.
    mutable std::mutex sitesMutex_;
    mutable std::map<std::string, std::shared_ptr<const DemoSite>> sites_;
};

}  // namespace veltrap
