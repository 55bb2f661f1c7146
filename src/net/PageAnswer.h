#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrap {

// Everything one GET brought back: whether a server answered at all, the final
// status, address, headers and body, and, when the answer is not a usable
// page, why not in words a person can act on.
struct PageAnswer {
    bool answered = false;
    long status = 0;  // the final HTTP status; 0 without an answer
    std::string body;
    std::string finalUrl;  // the address after redirects
    // The final answer's header lines as name and value, in arrival order.
    std::vector<std::pair<std::string, std::string>> headers;
    bool cut = false;  // the body reached the size cap and was cut there
    // The server still refused (429, or 503 with Retry-After) after the retries.
    bool refused = false;
    // The redirects went on past the most that are followed.
    bool tooManyRedirects = false;
    // Why there was no answer, as libcurl tells it ("Couldn't connect to server").
    std::string transportError;

    // The first header of that name, compared ignoring ASCII case; "" without one.
    std::string_view Header(std::string_view name) const;
    // Whether the answer is a page a reader can take: an answer with a status
    // below 400 that was neither refused nor a redirect loop.
    bool Usable() const { return answered && !refused && !tooManyRedirects && status < 400; }
    // Whether the answer began but its body ended before its end: a stall or
    // the time limit during the body, a connection closed before the length
    // it announced, or the size cap. What was read is only part of the page.
    bool EndedEarly() const {
        return answered && (cut || (!transportError.empty() && !tooManyRedirects));
    }
    // Why the answer is not usable ("no answer (Couldn't connect to server)",
    // "HTTP 503", "still refused after 3 retries (HTTP 429)", "too many
    // redirects"); "" when it is.
    std::string Problem() const;
};

}  // namespace veltrap
