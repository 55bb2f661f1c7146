#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// One answer of the demo web.
struct DemoAnswer {
    int status = 200;
    std::string contentType = "text/html";
    std::string body;
    // Extra header lines as "Name: value", for answers that carry some.
    std::string headers;

    static DemoAnswer Html(std::string body);
    static DemoAnswer Json(std::string body);
    // The server's "Not Found" page for path.
    static DemoAnswer NotFound(std::string_view path);
};

}  // namespace veltrap
