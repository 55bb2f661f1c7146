#include "demoworld/DemoWorld.h"

namespace veltrap {
namespace {

constexpr std::size_t kSitesKept = 32;

}  // namespace

DemoWorld::DemoWorld(int size) : size_(size) {}

std::shared_ptr<const DemoSite> DemoWorld::Site(const std::string& identity) const {
    {
        std::lock_guard lock(sitesMutex_);
        if (const auto found = sites_.find(identity); found != sites_.end()) {
            return found->second;
        }
    }
    auto site = std::make_shared<const DemoSite>(identity, size_);
    std::lock_guard lock(sitesMutex_);
    if (sites_.size() >= kSitesKept) {
        sites_.clear();
    }
    sites_.emplace(identity, site);
    return site;
}

}  // namespace veltrap
