#pragma once

#include "services/ServiceDescriptor.h"

#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// Every outside service the program knows, registered once each, and the
// configuration keys that choose one service per role.
class ServiceCatalog {
public:
    using Role = ServiceDescriptor::Role;

    // The key that names the chosen service of a role, and its default.
    struct Choice {
        std::string section;
        std::string key;
        std::string defaultName;
    };

    static const ServiceCatalog& Default();

    const std::vector<ServiceDescriptor>& Services() const { return services_; }
    const ServiceDescriptor* Find(Role role, std::string_view name) const;
    // The names of a role's services, in registration order.
    std::vector<std::string> Names(Role role) const;
    static Choice ChoiceOf(Role role);

private:
    ServiceCatalog();

    std::vector<ServiceDescriptor> services_;
};

}  // namespace veltrap
