#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrap {

// One answer of the demo web.
struct DemoAnswer {
    int status = 200;
    std::string contentType = "text/html";
    std::string body;
    // Extra headers as name and value, for answers that carry some.
    std::vector<std::pair<std::string, std::string>> headers;

    static DemoAnswer Html(std::string body);
    // A JSON answer; an API tells a refusal by its status and a JSON body.
    static DemoAnswer Json(std::string body, int status = 200);
    // The server's "Not Found" page for path.
    static DemoAnswer NotFound(std::string_view path);
};

}  // namespace veltrap
