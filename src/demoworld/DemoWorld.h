#pragma once

#include "demoworld/DemoSite.h"

#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace veltrap {

// The generated sites of the demo web, built on demand from their identity.
// A site depends on nothing but its identity and the size setting, so the same
// report run twice reads the same pages. Safe to use from several threads.
class DemoWorld {
public:
    // size is the number of backlinks every site has; 0 lets each site choose.
    explicit DemoWorld(int size);

    std::shared_ptr<const DemoSite> Site(const std::string& identity) const;

private:
    int size_;
    // Recently built sites, so that a run's many requests about one site do
    // not rebuild it each time. Only a speed-up: a site is the same either way.
    mutable std::mutex sitesMutex_;
    mutable std::map<std::string, std::shared_ptr<const DemoSite>> sites_;
};

}  // namespace veltrap
