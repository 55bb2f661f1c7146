#pragma once

#include "net/HttpSession.h"
#include "net/PageAnswer.h"
#include "net/RequestHeaders.h"

#include <functional>
#include <string>
#include <type_traits>
#include <utility>

namespace veltrap {

// How a reader gets a page: the whole answer to a GET of the address, sent
// with the extra header lines given, or to a POST of a body. A page that could
// not be had comes back unanswered, with an empty body, a text without any
// marker.
class PageFetch {
public:
    using GetFunction = std::function<PageAnswer(const std::string& url, const RequestHeaders&)>;
    using PostFunction = std::function<PageAnswer(const std::string& url, const RequestHeaders&,
                                                  const std::string& body)>;

    // A fetch that only reads: every POST comes back unanswered, unsent.
    template <typename Get>
    requires std::is_invocable_r_v<PageAnswer, Get&, const std::string&, const RequestHeaders&>
    PageFetch(Get get) : get_(std::move(get)) {}
    PageFetch(GetFunction get, PostFunction post) : get_(std::move(get)), post_(std::move(post)) {}

    PageAnswer operator()(const std::string& url, const RequestHeaders& headers = {}) const {
        return get_(url, headers);
    }
    // headers carry the body's Content-Type.
    PageAnswer Post(const std::string& url, const RequestHeaders& headers,
                    const std::string& body) const;

private:
    GetFunction get_;
    PostFunction post_;
};

// Fetches through the session, a retriever of its own for every page.
PageFetch SessionFetch(HttpSession& session);

}  // namespace veltrap
