#pragma once

#include "demoworld/DemoAnswer.h"
#include "demoworld/DemoRequest.h"

#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace veltrap {

class DemoWorld;

// Which writer answers for which host name of the demo web. Each outside
// service adds the hosts it plays; the linking pages and the profiled sites
// answer for every other host.
class DemoRoutes {
public:
    using Writer = std::function<DemoAnswer(const DemoRequest&, const DemoWorld&)>;

    void Add(std::string host, Writer writer);
    // The writer for host, or null when no service plays it.
    const Writer* Find(std::string_view host) const;

private:
    std::map<std::string, Writer, std::less<>> writers_;
};

}  // namespace veltrap
