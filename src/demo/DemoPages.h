#pragma once

#include "demoworld/DemoAnswer.h"
#include "demoworld/DemoRoutes.h"
#include "demoworld/DemoWorld.h"

#include <map>
#include <string>
#include <string_view>

namespace veltrap {

// Every page of the demo web, by host name and request target: the hosts the
// outside services play answer through those services' own page writers, and
// every other host is a linking page or a profiled site. An answer depends on
// nothing but the request and the size setting. Safe to call from several
// threads.
class DemoPages {
public:
    // size is the number of backlinks every site has; 0 lets each site choose.
    explicit DemoPages(int size);

    // host is the Host header (a port after it is ignored for the services);
    // target is the request target as it arrived, still percent-encoded;
    // headers are the request's header lines by lower-cased name; a POST
    // brings its method and body.
    DemoAnswer Answer(std::string_view host, std::string_view target,
                      std::map<std::string, std::string> headers = {},
                      std::string_view method = "GET", std::string body = {}) const;

private:
    DemoWorld world_;
    DemoRoutes routes_;
};

}  // namespace veltrap
