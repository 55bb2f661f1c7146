#pragma once

#include "net/HttpSession.h"

#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace veltrap {

// The one HTTP client of the program. A reader creates a retriever per page,
// fetches, copies the body and lets the retriever go. Every connection is
// direct (proxies, even from the environment, are never used), redirects are
// followed and https is always verified. One retriever serves one thread.
class HttpRetriever {
public:
    explicit HttpRetriever(HttpSession& session);
    ~HttpRetriever();
    HttpRetriever(const HttpRetriever&) = delete;
    HttpRetriever& operator=(const HttpRetriever&) = delete;

    // Returns the body of the answer (every byte, NULs included), or null when
    // no answer could be had. An HTTP error status still gives its body, and a
    // transfer that breaks, stalls, runs out of time or reaches the body cap
    // after the answer began gives what was read. The pointer stays valid until
    // the next Fetch or the retriever's end. A GET is tried up to three times,
    // again only when an attempt got no answer at all, and a successful GET is
    // kept in the session's cache; a POST is sent once, with postLength -1
    // meaning the length of postData as a C string. After the session is
    // aborted every Fetch returns null.
    const std::string* Fetch(const std::optional<std::string>& url, bool usePost = false,
                             const char* postData = nullptr, long postLength = -1);

    // -1 after a fetch with no URL, the CURLcode of the last failed fetch
    // otherwise, 0 before any failure.
    int LastError() const { return lastError_; }

    static constexpr const char* kUserAgent = "Ostrana HTTP Retriever 1.0";

private:
    struct Outcome {
        CURLcode code;
        bool succeeded;
    };

    CURLcode Configure();
    const std::string* FetchGet(const std::string& url);
    const std::string* FetchPost(const std::string& url, const char* data, long length);
    CURLcode PrepareGet(const std::string& target);
    CURLcode PreparePost(const std::string& target, const char* data, curl_off_t length);
    Outcome Transfer();
    CURLcode RunTransfer();
    CURLcode FinishedCode();
    void CountSentRequests();
    const std::string* Keep();

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);

    using Multi = std::unique_ptr<CURLM, decltype(&curl_multi_cleanup)>;
    using Easy = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
    using List = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

    HttpSession& session_;
    // Declared so that the easy handle goes first, then the lists it points
    // at, then the multi handle, as libcurl asks.
    Multi multi_;
    List connectTo_;
    List formHeader_;
    Easy easy_;
    std::size_t bodyCap_;
    CURLcode setupError_ = CURLE_OK;

    // State of the attempt in flight, written by the callbacks.
    std::string received_;
    bool answered_ = false;
    bool locationSeen_ = false;
    bool capReached_ = false;
    std::chrono::steady_clock::time_point lastByte_;

    std::optional<std::string> body_;
    int lastError_ = 0;
};

}  // namespace veltrap
