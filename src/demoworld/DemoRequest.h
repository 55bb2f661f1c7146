#pragma once

#include <map>
#include <string>

namespace veltrap {

// A request to the demo web as a service's page writer sees it.
struct DemoRequest {
    std::string method = "GET";
    std::string host;   // lower-cased, without a port
    std::string path;   // percent-decoded
    std::string query;  // after the "?", still percent-encoded
    // The request's header lines by lower-cased name, for services that read
    // one (a key, say).
    std::map<std::string, std::string> headers;
    std::string body;  // of a POST
};

}  // namespace veltrap
