#include "demoworld/DemoAnswer.h"

#include "demoworld/DemoText.h"

#include <utility>

namespace veltrap {

DemoAnswer DemoAnswer::Html(std::string body) {
    DemoAnswer answer;
    answer.body = std::move(body);
    return answer;
}

DemoAnswer DemoAnswer::Json(std::string body, int status) {
    DemoAnswer answer;
    answer.status = status;
    answer.contentType = "application/json";
    answer.body = std::move(body);
    return answer;
}

DemoAnswer DemoAnswer::NotFound(std::string_view path) {
    DemoAnswer answer;
    answer.status = 404;
    answer.body =
        "<html><head><title>404 Not Found</title></head>\n<body><h1>Not Found</h1>\n<p>The "
        "requested URL " +
        HtmlEscape(path) + " was not found on this server.</p>\n</body></html>\n";
    return answer;
}

}  // namespace veltrap
