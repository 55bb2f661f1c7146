#pragma once

#include "base/Result.h"
#include "services/AuthorityProvider.h"
#include "services/BacklinkSource.h"
#include "services/ConfigKey.h"
#include "services/RankColumn.h"
#include "services/RankProvider.h"
#include "services/ServiceEndpoints.h"
#include "services/ServiceSettings.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace veltrap {

class DemoRoutes;

// What a service is given to build itself from.
struct ServiceContext {
    const ServiceEndpoints& endpoints;
    const ServiceSettings& settings;
};

// Everything the program knows of one outside service: its role and name,
// the configuration keys it owns, how to build it, and its part of the demo
// web. A service is added by writing one of these and registering it once.
struct ServiceDescriptor {
    enum class Role { kBacklinks, kAuthority, kSearch };

    Role role = Role::kBacklinks;
    std::string name;
    // The name people know the service by, in the window and in messages.
    std::string title;
    std::vector<ConfigKey> keys;

    // Exactly the one that fits the role is set.
    std::function<std::unique_ptr<BacklinkSource>(const ServiceContext&)> makeSource;
    std::function<std::unique_ptr<AuthorityProvider>(const ServiceContext&)> makeAuthority;
    std::function<std::unique_ptr<RankProvider>(const ServiceContext&, RankColumn)> makeRank;

    // Whether the service can run with these settings; a failure says why
    // (a key it needs is missing). Checked before a run sends anything.
    std::function<Status(const ServiceContext&)> check;

    // The demo web's answers for this service's hosts, and the settings that
    // point the service at them.
    std::function<void(DemoRoutes&)> addDemoRoutes;
    std::function<void(ServiceEndpoints&, ServiceSettings&)> pointAtDemo;
};

}  // namespace veltrap
