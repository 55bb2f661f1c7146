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
// with the extra header lines given. A page that could not be had comes back
// unanswered, with an empty body, a text without any marker.
class PageFetch {
public:
    template <typename Get>
    requires std::is_invocable_r_v<PageAnswer, Get&, const std::string&, const RequestHeaders&>
    PageFetch(Get get) : get_(std::move(get)) {}

    PageAnswer operator()(const std::string& url, const RequestHeaders& headers = {}) const {
        return get_(url, headers);
    }

private:
    std::function<PageAnswer(const std::string& url, const RequestHeaders& headers)> get_;
};

// Fetches through the session, a retriever of its own for every page.
PageFetch SessionFetch(HttpSession& session);

}  // namespace veltrap
