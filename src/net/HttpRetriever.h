#pragma once

#include "net/HttpSession.h"

#include <optional>
#include <string>

namespace veltrap {

// The one HTTP client of the program. A reader creates a retriever per page,
// fetches, copies the body and lets the retriever go.
class HttpRetriever {
public:
    explicit HttpRetriever(HttpSession& session);
    ~HttpRetriever();
    HttpRetriever(const HttpRetriever&) = delete;
    HttpRetriever& operator=(const HttpRetriever&) = delete;

    // Returns the body of the answer (every byte, NULs included), or null when
    // no answer could be had. The pointer stays valid until the next Fetch or
    // the retriever's end. A GET is tried up to three times; a POST once, with
    // postLength -1 meaning the length of postData as a C string.
    const std::string* Fetch(const std::optional<std::string>& url, bool usePost = false,
                             const char* postData = nullptr, long postLength = -1);

    // -1 after a fetch with no URL, the failure code of the last failed fetch
    // otherwise, 0 before any failure.
    int LastError() const { return lastError_; }

    static constexpr const char* kUserAgent = "Ostrana HTTP Retriever 1.0";

private:
    HttpSession& session_;
    std::optional<std::string> body_;
    int lastError_ = 0;
};

}  // namespace veltrap
