#include "demoworld/DemoRoutes.h"

#include <utility>

namespace veltrap {

void DemoRoutes::Add(std::string host, Writer writer) {
    writers_.insert_or_assign(std::move(host), std::move(writer));
}

const DemoRoutes::Writer* DemoRoutes::Find(std::string_view host) const {
    const auto found = writers_.find(host);
    return found == writers_.end() ? nullptr : &found->second;
}

}  // namespace veltrap
