#pragma once

#include "net/HttpSession.h"
#include "net/PageAnswer.h"

#include <functional>
#include <string>

namespace veltrap {

// How a reader gets a page: the whole answer to a GET of the address. A page
// that could not be had comes back unanswered, with an empty body, a text
// without any marker.
using PageFetch = std::function<PageAnswer(const std::string& url)>;

// Fetches through the session, a retriever of its own for every page.
PageFetch SessionFetch(HttpSession& session);

}  // namespace veltrap
