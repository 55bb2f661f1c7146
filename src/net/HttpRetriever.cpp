#include "net/HttpRetriever.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"
#include "net/AbsoluteAddress.h"
#include "net/EscapeUrlBytes.h"
#include "net/ProxyAddress.h"
#include "net/RetryAfter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <ctime>
#include <string_view>
#include <utility>

namespace veltrap {

namespace {

constexpr int kGetAttempts = 3;
constexpr int kRefusalRetries = 3;
constexpr long kMaxRedirects = 10;
constexpr long kMaxTimeoutS = 24 * 3600;
// Addresses come from scraped pages, so anything but web addresses (file://,
// ftp://, ...) is refused, on the first request and on every redirect alike.
constexpr const char* kWebProtocols = "http,https";

long Milliseconds(long seconds) {
    return std::clamp(seconds, 0L, kMaxTimeoutS) * 1000L;
}

// The form header is the only one a POST adds. The empty "Expect:" keeps
// libcurl from adding its own header for large bodies.
curl_slist* FormHeaders() {
    curl_slist* list =
        curl_slist_append(nullptr, "Content-Type: application/x-www-form-urlencoded");
    if (list == nullptr) {
        return nullptr;
    }
    curl_slist* extended = curl_slist_append(list, "Expect:");
    if (extended == nullptr) {
        curl_slist_free_all(list);
    }
    return extended;
}

// The claim on an address in the session's cache ends however the fetch ends.
class CacheClaim {
public:
    CacheClaim(PageCache& cache, const std::string& url) : cache_(cache), url_(url) {}
    ~CacheClaim() { cache_.Finish(url_, answer_); }
    CacheClaim(const CacheClaim&) = delete;
    CacheClaim& operator=(const CacheClaim&) = delete;
    void Keep(const PageAnswer& answer) { answer_ = &answer; }

private:
    PageCache& cache_;
    const std::string& url_;
    const PageAnswer* answer_ = nullptr;
};

}  // namespace

HttpRetriever::HttpRetriever(HttpSession& session)
    : session_(session),
      connectTo_(nullptr, &curl_slist_free_all),
      formHeader_(FormHeaders(), &curl_slist_free_all),
      extraHeaders_(nullptr, &curl_slist_free_all),
      easy_(curl_easy_init(), &curl_easy_cleanup),
      bodyCap_(
          static_cast<std::size_t>(std::max<std::int64_t>(session.Options().maxBodyBytes, 0))) {
    setupError_ = Configure();
}

HttpRetriever::~HttpRetriever() = default;

CURLcode HttpRetriever::Configure() {
    if (!easy_ || !formHeader_) {
        return CURLE_FAILED_INIT;
    }
    const HttpOptions& options = session_.Options();
    if (!options.connectTo.empty()) {
        connectTo_.reset(curl_slist_append(nullptr, ("::" + options.connectTo).c_str()));
        if (!connectTo_) {
            return CURLE_OUT_OF_MEMORY;
        }
    }
    CURL* easy = easy_.get();
    CURLcode code = CURLE_OK;
    const auto set = [&](CURLoption option, auto value) {
        if (code == CURLE_OK) {
            code = curl_easy_setopt(easy, option, value);
        }
    };
    set(CURLOPT_NOSIGNAL, 1L);
    set(CURLOPT_USERAGENT, options.userAgent.c_str());
    if (options.proxy.empty()) {
        // An empty proxy name also overrides any proxy named in the environment.
        set(CURLOPT_PROXY, "");
        set(CURLOPT_NOPROXY, "*");
    } else if (options.proxy != ProxyAddress::kSystem) {
        // A proxy that was named carries every request, whatever no_proxy says.
        set(CURLOPT_PROXY, options.proxy.c_str());
        set(CURLOPT_NOPROXY, "");
    }
    // With "system" neither is set, and libcurl reads http_proxy, https_proxy
    // and no_proxy from the environment itself.
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, kMaxRedirects);
    set(CURLOPT_PROTOCOLS_STR, kWebProtocols);
    set(CURLOPT_REDIR_PROTOCOLS_STR, kWebProtocols);
    set(CURLOPT_SSL_VERIFYPEER, 1L);
    set(CURLOPT_SSL_VERIFYHOST, 2L);
    if (!options.caFile.empty()) {
        set(CURLOPT_CAINFO, options.caFile.c_str());
    }
    set(CURLOPT_CONNECTTIMEOUT_MS, Milliseconds(options.connectTimeoutS));
    set(CURLOPT_TIMEOUT_MS, Milliseconds(options.fetchTimeoutS));
    set(CURLOPT_WRITEFUNCTION, &HttpRetriever::OnBody);
    set(CURLOPT_WRITEDATA, static_cast<void*>(this));
    set(CURLOPT_HEADERFUNCTION, &HttpRetriever::OnHeader);
    set(CURLOPT_HEADERDATA, static_cast<void*>(this));
    if (CURLSH* share = session_.Scheduler().Share()) {
        set(CURLOPT_SHARE, share);
    }
    if (connectTo_) {
        set(CURLOPT_CONNECT_TO, connectTo_.get());
    }
    return code;
}

const std::string* HttpRetriever::Fetch(const std::optional<std::string>& url, bool usePost,
                                        const char* postData, long postLength) {
    if (!url) {
        lastError_ = -1;
        answer_ = PageAnswer{};
        return nullptr;
    }
    if (usePost) {
        std::optional<PageAnswer> answer = FetchPost(*url, postData, postLength);
        answer_ = answer ? std::move(*answer) : PageAnswer{};
        return answer ? &answer_.body : nullptr;
    }
    answer_ = Get(*url);
    return answer_.answered ? &answer_.body : nullptr;
}

PageAnswer HttpRetriever::Get(const std::string& url, const RequestHeaders& headers) {
    if (session_.Stop().RefusesFetches()) {
        return NoAnswer(CURLE_ABORTED_BY_CALLBACK);
    }
    if (setupError_ != CURLE_OK) {
        return NoAnswer(setupError_);
    }
    if (const CURLcode code = SetExtraHeaders(headers); code != CURLE_OK) {
        return NoAnswer(code);
    }
    if (!headers.empty()) {
        return FetchGet(url);
    }
    if (std::optional<PageAnswer> known = session_.Cache().Claim(url)) {
        return std::move(*known);
    }
    PageAnswer answer;
    {
        // The claim ends here, before the answer is handed on and moved.
        CacheClaim claim(session_.Cache(), url);
        answer = FetchGet(url);
        if (answer.answered && !answer.refused) {
            claim.Keep(answer);
        }
    }
    return answer;
}

PageAnswer HttpRetriever::FetchGet(const std::string& url) {
    const std::string target = EscapeUrlBytes(url);
    if (const CURLcode code = PrepareGet(target); code != CURLE_OK) {
        return NoAnswer(code);
    }
    host_ = HostKey(target);
    return Exchange(kGetAttempts);
}

PageAnswer HttpRetriever::Post(const std::string& url, const RequestHeaders& headers,
                               const std::string& body) {
    if (session_.Stop().RefusesFetches()) {
        return NoAnswer(CURLE_ABORTED_BY_CALLBACK);
    }
    if (setupError_ != CURLE_OK) {
        return NoAnswer(setupError_);
    }
    CURLcode code = SetExtraHeaders(headers);
    // The empty "Expect:" keeps libcurl from adding its own header for large
    // bodies and waiting for the server's go-ahead.
    if (code == CURLE_OK) {
        code = AddExtraHeader("Expect:");
    }
    const std::string target = EscapeUrlBytes(url);
    if (code == CURLE_OK) {
        code = PreparePost(target, body.data(), static_cast<curl_off_t>(body.size()),
                           extraHeaders_.get());
    }
    if (code != CURLE_OK) {
        return NoAnswer(code);
    }
    host_ = HostKey(target);
    return Exchange(1);
}

PageAnswer HttpRetriever::Exchange(int attempts) {
    int tried = 0;
    int refusals = 0;
    for (;;) {
        if (session_.Stop().RefusesFetches()) {
            return NoAnswer(CURLE_ABORTED_BY_CALLBACK);
        }
        const Outcome outcome = Transfer();
        if (outcome.code == CURLE_ABORTED_BY_CALLBACK) {
            return NoAnswer(outcome.code);
        }
        if (!outcome.answered) {
            if (++tried < attempts) {
                continue;
            }
            return NoAnswer(outcome.code);
        }
        PageAnswer answer = Collect(outcome);
        const std::optional<std::chrono::seconds> wait = RefusalWait(answer, refusals);
        if (!wait) {
            return answer;
        }
        if (refusals == kRefusalRetries) {
            answer.refused = true;
            return answer;
        }
        ++refusals;
        session_.Scheduler().HoldHost(host_, std::chrono::steady_clock::now() + *wait);
    }
}

std::optional<std::chrono::seconds> HttpRetriever::RefusalWait(const PageAnswer& answer,
                                                               int refusals) const {
    const std::string_view retryAfter = answer.Header("Retry-After");
    const bool refusal = answer.status == 429 || (answer.status == 503 && !retryAfter.empty());
    if (!refusal) {
        return std::nullopt;
    }
    const std::optional<long> asked = RetryAfterSeconds(retryAfter, std::time(nullptr));
    if (!asked) {
        return std::chrono::seconds(1L << refusals);
    }
    return std::chrono::seconds(
        std::clamp(*asked, 0L, std::max(session_.Options().retryAfterMaxS, 0L)));
}

std::optional<PageAnswer> HttpRetriever::FetchPost(const std::string& url, const char* data,
                                                   long length) {
    // A missing body is an empty one; a length that cannot be right is refused
    // rather than read past the caller's data.
    curl_off_t size = 0;
    if (length == -1) {
        size = data != nullptr ? static_cast<curl_off_t>(std::strlen(data)) : 0;
    } else if (length < 0 || (data == nullptr && length > 0)) {
        lastError_ = CURLE_BAD_FUNCTION_ARGUMENT;
        return std::nullopt;
    } else {
        size = length;
    }
    if (session_.Stop().RefusesFetches()) {
        lastError_ = CURLE_ABORTED_BY_CALLBACK;
        return std::nullopt;
    }
    if (setupError_ != CURLE_OK) {
        lastError_ = setupError_;
        return std::nullopt;
    }
    const std::string target = EscapeUrlBytes(url);
    CURLcode code = PreparePost(target, data != nullptr ? data : "", size, formHeader_.get());
    if (code == CURLE_OK) {
        host_ = HostKey(target);
        const Outcome outcome = Transfer();
        if (outcome.answered) {
            return Collect(outcome);
        }
        code = outcome.code;
    }
    lastError_ = code;
    return std::nullopt;
}

CURLcode HttpRetriever::PrepareGet(const std::string& target) {
    CURL* easy = easy_.get();
    CURLcode code = curl_easy_setopt(easy, CURLOPT_URL, target.c_str());
    if (code == CURLE_OK) {
        code = curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    if (code == CURLE_OK) {
        code = curl_easy_setopt(easy, CURLOPT_HTTPHEADER, extraHeaders_.get());
    }
    return code;
}

CURLcode HttpRetriever::SetExtraHeaders(const RequestHeaders& headers) {
    extraHeaders_.reset();
    for (const std::string& line : headers) {
        // A line break would let the text start a header, or a request, of
        // its own.
        if (line.find_first_of("\r\n") != std::string::npos) {
            extraHeaders_.reset();
            return CURLE_BAD_FUNCTION_ARGUMENT;
        }
        if (const CURLcode code = AddExtraHeader(line); code != CURLE_OK) {
            return code;
        }
    }
    return CURLE_OK;
}

CURLcode HttpRetriever::AddExtraHeader(const std::string& line) {
    curl_slist* extended = curl_slist_append(extraHeaders_.get(), line.c_str());
    if (extended == nullptr) {
        extraHeaders_.reset();
        return CURLE_OUT_OF_MEMORY;
    }
    extraHeaders_.release();
    extraHeaders_.reset(extended);
    return CURLE_OK;
}

CURLcode HttpRetriever::PreparePost(const std::string& target, const char* data, curl_off_t length,
                                    curl_slist* headers) {
    CURL* easy = easy_.get();
    CURLcode code = curl_easy_setopt(easy, CURLOPT_URL, target.c_str());
    if (code == CURLE_OK) {
        code = curl_easy_setopt(easy, CURLOPT_POST, 1L);
    }
    if (code == CURLE_OK) {
        code = curl_easy_setopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, length);
    }
    if (code == CURLE_OK) {
        code = curl_easy_setopt(easy, CURLOPT_POSTFIELDS, data);
    }
    if (code == CURLE_OK) {
        code = curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    }
    return code;
}

HttpRetriever::Outcome HttpRetriever::Transfer() {
    received_.clear();
    headers_.clear();
    answered_ = false;
    locationSeen_ = false;
    capReached_ = false;
    FetchScheduler::Transfer transfer;
    transfer.easy = easy_.get();
    transfer.host = host_;
    transfer.lastByte = &lastByte_;
    const CURLcode code = session_.Scheduler().Perform(transfer);
    CountSentRequests();
    if (code == CURLE_ABORTED_BY_CALLBACK) {
        return {code, false};
    }
    // Once the answer has begun, whatever ends the transfer (a broken
    // connection, a stall, the time limit, the body cap) leaves a usable page.
    // A redirect loop is an answer too: asking again would only loop again.
    return {code, code == CURLE_OK || capReached_ || answered_ || code == CURLE_TOO_MANY_REDIRECTS};
}

PageAnswer HttpRetriever::Collect(const Outcome& outcome) {
    PageAnswer answer;
    answer.answered = true;
    long status = 0;
    if (curl_easy_getinfo(easy_.get(), CURLINFO_RESPONSE_CODE, &status) == CURLE_OK) {
        answer.status = status;
    }
    char* effective = nullptr;
    if (curl_easy_getinfo(easy_.get(), CURLINFO_EFFECTIVE_URL, &effective) == CURLE_OK &&
        effective != nullptr) {
        answer.finalUrl = effective;
    }
    answer.body = std::move(received_);
    received_.clear();
    answer.headers = std::move(headers_);
    headers_.clear();
    answer.cut = capReached_;
    answer.tooManyRedirects = outcome.code == CURLE_TOO_MANY_REDIRECTS;
    if (outcome.code != CURLE_OK && !capReached_) {
        answer.transportError = curl_easy_strerror(outcome.code);
    }
    return answer;
}

PageAnswer HttpRetriever::NoAnswer(CURLcode code) {
    PageAnswer answer;
    answer.transportError =
        code == CURLE_ABORTED_BY_CALLBACK ? "cancelled" : curl_easy_strerror(code);
    lastError_ = code;
    return answer;
}

void HttpRetriever::CountSentRequests() {
    // An attempt whose request never left (no connection, a refused
    // certificate) is not counted; each redirect followed is one more request.
    long requestBytes = 0;
    long redirects = 0;
    if (curl_easy_getinfo(easy_.get(), CURLINFO_REQUEST_SIZE, &requestBytes) != CURLE_OK ||
        curl_easy_getinfo(easy_.get(), CURLINFO_REDIRECT_COUNT, &redirects) != CURLE_OK) {
        session_.CountRequest();
        return;
    }
    if (requestBytes <= 0) {
        return;
    }
    for (long sent = 0; sent <= redirects; ++sent) {
        session_.CountRequest();
    }
}

std::size_t HttpRetriever::OnBody(char* data, std::size_t size, std::size_t count, void* self) {
    auto& retriever = *static_cast<HttpRetriever*>(self);
    const std::size_t length = size * count;
    retriever.lastByte_ = std::chrono::steady_clock::now();
    retriever.answered_ = true;
    const std::size_t room = retriever.bodyCap_ - retriever.received_.size();
    if (length > room) {
        // Taking less than offered makes libcurl end the transfer here.
        retriever.received_.append(data, room);
        retriever.capReached_ = true;
        return 0;
    }
    retriever.received_.append(data, length);
    return length;
}

std::size_t HttpRetriever::OnHeader(char* data, std::size_t size, std::size_t count, void* self) {
    auto& retriever = *static_cast<HttpRetriever*>(self);
    const std::string_view line(data, size * count);
    retriever.lastByte_ = std::chrono::steady_clock::now();
    if (line.starts_with("HTTP/")) {
        // Each answer in a chain of redirects brings its own headers; only
        // the last one's are kept.
        retriever.locationSeen_ = false;
        retriever.headers_.clear();
    } else if (line == "\r\n" || line == "\n") {
        // The end of a header block. Interim answers and redirects that are
        // about to be followed are not yet the answer to this request.
        long status = 0;
        if (curl_easy_getinfo(retriever.easy_.get(), CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
            status >= 200 && !(status >= 300 && status < 400 && retriever.locationSeen_)) {
            retriever.answered_ = true;
        }
    } else if (const auto colon = line.find(':'); colon != std::string_view::npos) {
        const std::string_view name = Trimmed(line.substr(0, colon));
        if (EqualsNoCase(name, "location")) {
            retriever.locationSeen_ = true;
        }
        retriever.headers_.emplace_back(std::string(name),
                                        std::string(Trimmed(line.substr(colon + 1))));
    }
    return line.size();
}

}  // namespace veltrap
