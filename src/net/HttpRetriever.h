#pragma once

#include "net/HttpSession.h"
#include "net/PageAnswer.h"
#include "net/RequestHeaders.h"

#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace veltrap {

// The one HTTP client of the program. A reader creates a retriever per page,
// fetches, copies the body and lets the retriever go. Every transfer runs on
// the session's fetch scheduler, so connections are shared across the run.
// Every connection is direct (proxies, even from the environment, are never
// used), redirects are followed up to ten and https is always verified. One
// retriever serves one thread.
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
    // the next Fetch or the retriever's end. A POST is sent once, with
    // postLength -1 meaning the length of postData as a C string. After the
    // session is stopped every Fetch returns null.
    const std::string* Fetch(const std::optional<std::string>& url, bool usePost = false,
                             const char* postData = nullptr, long postLength = -1);

    // A GET with its whole answer. It is tried up to three times, again only
    // when an attempt got no answer at all. A 429, or a 503 that carries
    // Retry-After, is waited out (Retry-After capped at retry_after_max_s, or
    // 1, 2, then 4 seconds) and asked again up to three times, while the host
    // is left alone by every other transfer. An answer is kept in the session's
    // cache; while another thread fetches the same address, this one waits for
    // that answer instead. A GET with extra header lines is neither taken from
    // the cache nor kept there, since its answer may depend on them; a line
    // holding a line break is refused unsent.
    PageAnswer Get(const std::string& url, const RequestHeaders& headers = {});
    // A POST of body with these header lines (its Content-Type among them) and
    // its whole answer. Unlike a GET it is sent only once when no answer came,
    // since the server may have acted on it; a refusal (429, or 503 with
    // Retry-After) is waited out and sent again as for a GET, because a
    // refused request was not acted on. Never cached; a header line holding a
    // line break is refused unsent.
    PageAnswer Post(const std::string& url, const RequestHeaders& headers, const std::string& body);

    // What the last Fetch brought.
    const PageAnswer& LastAnswer() const { return answer_; }
    // -1 after a fetch with no URL, the CURLcode of the last failed fetch
    // otherwise, 0 before any failure.
    int LastError() const { return lastError_; }

    static constexpr const char* kUserAgent = HttpOptions::kDefaultUserAgent;

private:
    struct Outcome {
        CURLcode code;
        bool answered;
    };

    CURLcode Configure();
    PageAnswer FetchGet(const std::string& url);
    // Sends the request prepared on the easy handle until it has an answer that
    // is no refusal, trying up to attempts times while none comes.
    PageAnswer Exchange(int attempts);
    std::optional<PageAnswer> FetchPost(const std::string& url, const char* data, long length);
    CURLcode PrepareGet(const std::string& target);
    CURLcode SetExtraHeaders(const RequestHeaders& headers);
    CURLcode AddExtraHeader(const std::string& line);
    // Sets up a POST of length bytes of data with these header lines.
    CURLcode PreparePost(const std::string& target, const char* data, curl_off_t length,
                         curl_slist* headers);
    Outcome Transfer();
    void CountSentRequests();
    PageAnswer Collect(const Outcome& outcome);
    PageAnswer NoAnswer(CURLcode code);
    // How long a refusal asks to wait, or nothing when the answer is no refusal.
    std::optional<std::chrono::seconds> RefusalWait(const PageAnswer& answer, int refusals) const;

    static std::size_t OnBody(char* data, std::size_t size, std::size_t count, void* self);
    static std::size_t OnHeader(char* data, std::size_t size, std::size_t count, void* self);

    using Easy = std::unique_ptr<CURL, decltype(&curl_easy_cleanup)>;
    using List = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

    HttpSession& session_;
    // Declared so that the easy handle goes first, then the lists it points at.
    List connectTo_;
    List formHeader_;
    List extraHeaders_;  // of the GET or POST in flight
    Easy easy_;
    std::size_t bodyCap_;
    CURLcode setupError_ = CURLE_OK;
    std::string host_;  // of the address in flight, for the per-host limits

    // State of the attempt in flight, written by the callbacks on the
    // scheduler's thread while this one waits.
    std::string received_;
    std::vector<std::pair<std::string, std::string>> headers_;
    bool answered_ = false;
    bool locationSeen_ = false;
    bool capReached_ = false;
    std::chrono::steady_clock::time_point lastByte_;

    PageAnswer answer_;
    int lastError_ = 0;
};

}  // namespace veltrap
