#include "net/HttpRetriever.h"

#include "base/AsciiCase.h"
#include "net/EscapeUrlBytes.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <utility>

namespace veltrap {

namespace {

constexpr int kGetAttempts = 3;
constexpr long kMaxRedirects = 10;
// How long the transfer loop waits for socket activity before it looks at the
// abort switch and the stall clock again; this bounds how late an abort acts.
constexpr int kPollIntervalMs = 50;
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

}  // namespace

HttpRetriever::HttpRetriever(HttpSession& session)
    : session_(session),
      multi_(curl_multi_init(), &curl_multi_cleanup),
      connectTo_(nullptr, &curl_slist_free_all),
      formHeader_(FormHeaders(), &curl_slist_free_all),
      easy_(curl_easy_init(), &curl_easy_cleanup),
      bodyCap_(
          static_cast<std::size_t>(std::max<std::int64_t>(session.Options().maxBodyBytes, 0))) {
    setupError_ = Configure();
}

HttpRetriever::~HttpRetriever() = default;

CURLcode HttpRetriever::Configure() {
    if (!multi_ || !easy_ || !formHeader_) {
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
    set(CURLOPT_USERAGENT, kUserAgent);
    // An empty proxy name also overrides any proxy named in the environment.
    set(CURLOPT_PROXY, "");
    set(CURLOPT_NOPROXY, "*");
    set(CURLOPT_FOLLOWLOCATION, 1L);
    set(CURLOPT_MAXREDIRS, kMaxRedirects);
    set(CURLOPT_PROTOCOLS_STR, kWebProtocols);
    set(CURLOPT_REDIR_PROTOCOLS_STR, kWebProtocols);
    set(CURLOPT_SSL_VERIFYPEER, 1L);
    set(CURLOPT_SSL_VERIFYHOST, 2L);
    set(CURLOPT_CONNECTTIMEOUT_MS, Milliseconds(options.connectTimeoutS));
    set(CURLOPT_TIMEOUT_MS, Milliseconds(options.fetchTimeoutS));
    set(CURLOPT_WRITEFUNCTION, &HttpRetriever::OnBody);
    set(CURLOPT_WRITEDATA, static_cast<void*>(this));
    set(CURLOPT_HEADERFUNCTION, &HttpRetriever::OnHeader);
    set(CURLOPT_HEADERDATA, static_cast<void*>(this));
    if (connectTo_) {
        set(CURLOPT_CONNECT_TO, connectTo_.get());
    }
    return code;
}

const std::string* HttpRetriever::Fetch(const std::optional<std::string>& url, bool usePost,
                                        const char* postData, long postLength) {
    if (!url) {
        lastError_ = -1;
        return nullptr;
    }
    if (session_.Aborted()) {
        lastError_ = CURLE_ABORTED_BY_CALLBACK;
        return nullptr;
    }
    if (setupError_ != CURLE_OK) {
        lastError_ = setupError_;
        return nullptr;
    }
    return usePost ? FetchPost(*url, postData, postLength) : FetchGet(*url);
}

const std::string* HttpRetriever::FetchGet(const std::string& url) {
    if (std::optional<std::string> cached = session_.Cache().Lookup(url)) {
        body_ = std::move(*cached);
        return &*body_;
    }
    if (const CURLcode code = PrepareGet(EscapeUrlBytes(url)); code != CURLE_OK) {
        lastError_ = code;
        return nullptr;
    }
    for (int attempt = 0; attempt < kGetAttempts; ++attempt) {
        if (session_.Aborted()) {
            lastError_ = CURLE_ABORTED_BY_CALLBACK;
            return nullptr;
        }
        const Outcome outcome = Transfer();
        if (outcome.succeeded) {
            session_.Cache().Store(url, received_);
            return Keep();
        }
        lastError_ = outcome.code;
        if (outcome.code == CURLE_ABORTED_BY_CALLBACK) {
            return nullptr;
        }
    }
    return nullptr;
}

const std::string* HttpRetriever::FetchPost(const std::string& url, const char* data, long length) {
    // A missing body is an empty one; a length that cannot be right is refused
    // rather than read past the caller's data.
    curl_off_t size = 0;
    if (length == -1) {
        size = data != nullptr ? static_cast<curl_off_t>(std::strlen(data)) : 0;
    } else if (length < 0 || (data == nullptr && length > 0)) {
        lastError_ = CURLE_BAD_FUNCTION_ARGUMENT;
        return nullptr;
    } else {
        size = length;
    }
    CURLcode code = PreparePost(EscapeUrlBytes(url), data != nullptr ? data : "", size);
    if (code == CURLE_OK) {
        const Outcome outcome = Transfer();
        if (outcome.succeeded) {
            return Keep();
        }
        code = outcome.code;
    }
    lastError_ = code;
    return nullptr;
}

CURLcode HttpRetriever::PrepareGet(const std::string& target) {
    CURL* easy = easy_.get();
    CURLcode code = curl_easy_setopt(easy, CURLOPT_URL, target.c_str());
    if (code == CURLE_OK) {
        code = curl_easy_setopt(easy, CURLOPT_HTTPGET, 1L);
    }
    if (code == CURLE_OK) {
        code = curl_easy_setopt(easy, CURLOPT_HTTPHEADER, static_cast<curl_slist*>(nullptr));
    }
    return code;
}

CURLcode HttpRetriever::PreparePost(const std::string& target, const char* data,
                                    curl_off_t length) {
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
        code = curl_easy_setopt(easy, CURLOPT_HTTPHEADER, formHeader_.get());
    }
    return code;
}

HttpRetriever::Outcome HttpRetriever::Transfer() {
    received_.clear();
    answered_ = false;
    locationSeen_ = false;
    capReached_ = false;
    lastByte_ = std::chrono::steady_clock::now();
    const CURLcode code = RunTransfer();
    CountSentRequests();
    if (code == CURLE_ABORTED_BY_CALLBACK) {
        return {code, false};
    }
    // Once the answer has begun, whatever ends the transfer (a broken
    // connection, a stall, the time limit, the body cap) leaves a usable page.
    return {code, code == CURLE_OK || capReached_ || answered_};
}

CURLcode HttpRetriever::RunTransfer() {
    CURLM* multi = multi_.get();
    CURL* easy = easy_.get();
    if (curl_multi_add_handle(multi, easy) != CURLM_OK) {
        return CURLE_FAILED_INIT;
    }
    const std::chrono::seconds stallLimit(
        std::clamp(session_.Options().stallTimeoutS, 0L, kMaxTimeoutS));
    CURLcode code = CURLE_OK;
    for (;;) {
        int running = 0;
        if (curl_multi_perform(multi, &running) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
        if (running == 0) {
            code = FinishedCode();
            break;
        }
        if (session_.Aborted()) {
            code = CURLE_ABORTED_BY_CALLBACK;
            break;
        }
        if (stallLimit.count() > 0 && std::chrono::steady_clock::now() - lastByte_ >= stallLimit) {
            code = CURLE_OPERATION_TIMEDOUT;
            break;
        }
        if (curl_multi_poll(multi, nullptr, 0, kPollIntervalMs, nullptr) != CURLM_OK) {
            code = CURLE_FAILED_INIT;
            break;
        }
    }
    // Removing the handle also ends a transfer that is still going.
    if (curl_multi_remove_handle(multi, easy) != CURLM_OK && code == CURLE_OK) {
        code = CURLE_FAILED_INIT;
    }
    return code;
}

CURLcode HttpRetriever::FinishedCode() {
    int queued = 0;
    while (CURLMsg* message = curl_multi_info_read(multi_.get(), &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == easy_.get()) {
            return message->data.result;
        }
    }
    return CURLE_FAILED_INIT;
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

const std::string* HttpRetriever::Keep() {
    body_ = std::move(received_);
    received_.clear();
    return &*body_;
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
        retriever.locationSeen_ = false;
    } else if (StartsWithNoCase(line, "location:")) {
        retriever.locationSeen_ = true;
    } else if (line == "\r\n" || line == "\n") {
        // The end of a header block. Interim answers and redirects that are
        // about to be followed are not yet the answer to this request.
        long status = 0;
        if (curl_easy_getinfo(retriever.easy_.get(), CURLINFO_RESPONSE_CODE, &status) == CURLE_OK &&
            status >= 200 && !(status >= 300 && status < 400 && retriever.locationSeen_)) {
            retriever.answered_ = true;
        }
    }
    return line.size();
}

}  // namespace veltrap
