#pragma once

#include <string>

namespace veltrap {

// A request to the demo web as a service's page writer sees it.
struct DemoRequest {
    std::string host;   // lower-cased, without a port
    std::string path;   // percent-decoded
    std::string query;  // after the "?", still percent-encoded
};

}  // namespace veltrap
