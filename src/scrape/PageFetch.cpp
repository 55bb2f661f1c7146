#include "scrape/PageFetch.h"

#include "net/HttpRetriever.h"

namespace veltrap {

std::string FetchPageText(HttpSession& session, const std::string& url) {
    HttpRetriever retriever(session);
    const std::string* body = retriever.Fetch(url, false, nullptr, -1);
    return body != nullptr ? *body : std::string();
}

PageFetch FetchEachWithOwnRetriever(HttpSession& session) {
    return [&session](const std::string& url) { return FetchPageText(session, url); };
}

}  // namespace veltrap
