#pragma once

#include "net/HttpSession.h"

#include <functional>
#include <string>

namespace veltrap {

// Where a reader that follows several pages gets their text. A page that could
// not be had reads as "", a text without any marker.
using PageFetch = std::function<std::string(const std::string& url)>;

// One page through a retriever of its own, as most readers fetch.
std::string FetchPageText(HttpSession& session, const std::string& url);

// A fetch that creates a fresh retriever for every page it is asked for.
PageFetch FetchEachWithOwnRetriever(HttpSession& session);

}  // namespace veltrap
