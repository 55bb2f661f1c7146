#include "net/HttpRetriever.h"

#include "ScriptedServer.h"
#include "net/CurlGlobal.h"
#include "support/LoopbackServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace veltrap {
namespace {

using std::chrono::milliseconds;
using std::chrono::minutes;
using std::chrono::steady_clock;
using testing::ScriptedServer;

// Set up once, before the test runner starts any thread.
const CurlGlobal curlGlobal;

constexpr const char* kAnswer = "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello";

HttpOptions QuickOptions() {
    HttpOptions options;
    options.connectTimeoutS = 2;
    options.stallTimeoutS = 2;
    options.fetchTimeoutS = 5;
    return options;
}

std::optional<std::string> FetchCopy(HttpSession& session, const std::string& url) {
    HttpRetriever retriever(session);
    const std::string* body = retriever.Fetch(url);
    return body != nullptr ? std::optional<std::string>(*body) : std::nullopt;
}

class HttpRetrieverTest : public ::testing::Test {
protected:
    void SetUp() override {
        auto& server = server_.Server();
        server.set_tcp_nodelay(true);
        server.Get("/bytes", [](const httplib::Request& request, httplib::Response& response) {
            std::string body(std::stoul(request.get_param_value("n")), '\0');
            for (std::size_t i = 0; i < body.size(); ++i) {
                body[i] = static_cast<char>(i * 7 % 251);
            }
            response.set_content(body, "application/octet-stream");
        });
        server.Get("/count", [this](const httplib::Request&, httplib::Response& response) {
            ++hits_;
            response.set_content("counted", "text/plain");
        });
        server.Get("/echo.*", [this](const httplib::Request& request, httplib::Response& response) {
            std::lock_guard lock(seenMutex_);
            target_ = request.target;
            host_ = request.get_header_value("Host");
            agent_ = request.get_header_value("User-Agent");
            response.set_content("echo", "text/plain");
        });
        server.Get("/stall", [this](const httplib::Request&, httplib::Response& response) {
            response.set_chunked_content_provider(
                "text/plain", [this](std::size_t offset, httplib::DataSink& sink) {
                    if (offset == 0) {
                        stallBegun_ = true;
                        return sink.write("begin", 5);
                    }
                    WaitForRelease(minutes(10));
                    stallEnded_ = true;
                    return false;
                });
        });
        server.Get("/endless",
                   [this](const httplib::Request& request, httplib::Response& response) {
                       const milliseconds pause(std::stoi(request.get_param_value("pause_ms")));
                       response.set_chunked_content_provider(
                           "text/plain", [this, pause](std::size_t, httplib::DataSink& sink) {
                               WaitForRelease(pause);
                               const std::string chunk(16 * 1024, 'x');
                               return !release_ && sink.write(chunk.data(), chunk.size());
                           });
                   });
    }

    void TearDown() override {
        release_ = true;
        server_.Stop();
    }

    // Lets a handler hold its connection open until the test ends.
    void WaitForRelease(milliseconds most) {
        const auto end = steady_clock::now() + most;
        while (!release_ && steady_clock::now() < end) {
            std::this_thread::sleep_for(milliseconds(5));
        }
    }

    // Starts the server on first use, once the test has added its handlers.
    std::string Serve() {
        if (server_.Port() == 0) {
            server_.Start();
        }
        return server_.Address();
    }

    std::string Url(const std::string& path) { return "http://" + Serve() + path; }

    testing::LoopbackServer server_;
    std::atomic<bool> release_{false};
    // The stalled answer has begun, and ended, on the server's side.
    std::atomic<bool> stallBegun_{false};
    std::atomic<bool> stallEnded_{false};
    std::atomic<int> hits_{0};
    // Written by the server's thread; the answer reaching the client is no
    // ordering a race detector can see, so the test reads them under the lock.
    std::string Seen(const std::string& which) {
        std::lock_guard lock(seenMutex_);
        return which == "target" ? target_ : which == "host" ? host_ : agent_;
    }
    std::mutex seenMutex_;
    std::string target_;
    std::string host_;
    std::string agent_;
};

TEST_F(HttpRetrieverTest, BodiesArriveWholeWithEveryByte) {
    HttpSession session(QuickOptions());
    HttpRetriever retriever(session);
    EXPECT_EQ(retriever.LastError(), 0);

    const std::string* large = retriever.Fetch(Url("/bytes?n=400000"));
    ASSERT_NE(large, nullptr);
    ASSERT_EQ(large->size(), 400000u);
    for (std::size_t i = 0; i < large->size(); ++i) {
        ASSERT_EQ((*large)[i], static_cast<char>(i * 7 % 251)) << "at " << i;
    }

    // The first byte of this pattern is NUL, and more follow.
    const std::string* withNul = retriever.Fetch(Url("/bytes?n=600"));
    ASSERT_NE(withNul, nullptr);
    EXPECT_EQ(withNul->size(), 600u);
    EXPECT_EQ(withNul->find('\0', 1), 251u);

    const std::string* empty = retriever.Fetch(Url("/bytes?n=0"));
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(*empty, "");
    EXPECT_EQ(retriever.LastError(), 0);
}

TEST_F(HttpRetrieverTest, FollowsRedirectsAndKeepsErrorBodies) {
    server_.Server().Get("/old", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/new");
        response.set_content("moved", "text/plain");
    });
    server_.Server().Get("/new", [](const httplib::Request&, httplib::Response& response) {
        response.set_content("arrived", "text/plain");
    });
    server_.Server().Get("/gone", [](const httplib::Request&, httplib::Response& response) {
        response.status = 404;
        response.set_content("no such page", "text/plain");
    });
    HttpSession session(QuickOptions());
    EXPECT_EQ(FetchCopy(session, Url("/old")), "arrived");
    EXPECT_EQ(FetchCopy(session, Url("/gone")), "no such page");
    EXPECT_EQ(session.RequestsSent(), 3);
}

TEST_F(HttpRetrieverTest, UnsafeBytesAreEncodedWhenSent) {
    HttpSession session(QuickOptions());
    const std::string path = "/echo?q=red shoes&r=%41=+x#";
    ASSERT_EQ(FetchCopy(session, Url(path + "frag")), "echo");
    EXPECT_EQ(Seen("target"), "/echo?q=red%20shoes&r=%41=+x");

    ASSERT_EQ(FetchCopy(session, Url("/echo/\xE9\x7F\x01\"<>\\^`{|}~")), "echo");
    EXPECT_EQ(Seen("target"), "/echo/%E9%7F%01%22%3C%3E%5C%5E%60%7B%7C%7D~");
}

TEST_F(HttpRetrieverTest, ConnectToServesAnyHostNameDirectly) {
    HttpOptions options = QuickOptions();
    options.connectTo = Serve();
    HttpSession session(options);
    // A proxy named in the environment must not be used.
    setenv("http_proxy", "http://127.0.0.1:9", 1);
    setenv("ALL_PROXY", "http://127.0.0.1:9", 1);
    const auto body = FetchCopy(session, "http://links.example.test/echo");
    unsetenv("http_proxy");
    unsetenv("ALL_PROXY");
    EXPECT_EQ(body, "echo");
    EXPECT_EQ(Seen("host"), "links.example.test");
    EXPECT_EQ(Seen("agent"), HttpRetriever::kUserAgent);
}

// A proxy is told the whole address of a plain request and asked to open a
// tunnel for a secure one; with "system" the environment names it, and
// no_proxy keeps its hosts direct.
TEST_F(HttpRetrieverTest, ProxyCarriesRequestsAsConfigured) {
    const std::string forbidden = "HTTP/1.1 403 Forbidden\r\nContent-Length: 0\r\n\r\n";
    ScriptedServer plainProxy({kAnswer});
    ScriptedServer secureProxy({forbidden});
    const auto proxyUrl = [](const ScriptedServer& server) {
        return "http://127.0.0.1:" + std::to_string(server.Port());
    };
    {
        HttpOptions options = QuickOptions();
        options.proxy = proxyUrl(plainProxy);
        HttpSession session(options);
        EXPECT_EQ(FetchCopy(session, "http://links.example.test/page?a=1"), "hello");
        options.proxy = proxyUrl(secureProxy);
        HttpSession secureSession(options);
        EXPECT_EQ(FetchCopy(secureSession, "https://secure.example.test/x"), std::nullopt);
    }
    ASSERT_EQ(plainProxy.Heads().size(), 1U);
    EXPECT_THAT(plainProxy.Heads()[0],
                ::testing::StartsWith("GET http://links.example.test/page?a=1 HTTP/1.1\r\n"));
    ASSERT_FALSE(secureProxy.Heads().empty());
    EXPECT_THAT(secureProxy.Heads()[0],
                ::testing::StartsWith("CONNECT secure.example.test:443 HTTP/1.1\r\n"));

    setenv("http_proxy", proxyUrl(plainProxy).c_str(), 1);
    setenv("https_proxy", proxyUrl(secureProxy).c_str(), 1);
    setenv("no_proxy", "127.0.0.1", 1);
    const std::size_t secureBefore = secureProxy.Heads().size();
    {
        HttpOptions options = QuickOptions();
        options.proxy = "system";
        HttpSession session(options);
        EXPECT_EQ(FetchCopy(session, "http://other.example.test/"), "hello");
        EXPECT_EQ(FetchCopy(session, "https://secure.example.test/y"), std::nullopt);
        EXPECT_EQ(FetchCopy(session, Url("/count")), "counted");
    }
    unsetenv("http_proxy");
    unsetenv("https_proxy");
    unsetenv("no_proxy");
    ASSERT_EQ(plainProxy.Heads().size(), 2U);
    EXPECT_THAT(plainProxy.Heads()[1],
                ::testing::StartsWith("GET http://other.example.test/ HTTP/1.1\r\n"));
    EXPECT_GT(secureProxy.Heads().size(), secureBefore);
    EXPECT_EQ(hits_, 1);
}

TEST_F(HttpRetrieverTest, CacheServesRepeatsWithinOneSessionOnly) {
    const std::string url = Url("/count");
    HttpSession first(QuickOptions());
    EXPECT_EQ(FetchCopy(first, url), "counted");
    EXPECT_EQ(FetchCopy(first, url), "counted");
    EXPECT_EQ(hits_, 1);
    EXPECT_EQ(first.RequestsSent(), 1);

    HttpSession second(QuickOptions());
    EXPECT_EQ(FetchCopy(second, url), "counted");
    EXPECT_EQ(hits_, 2);

    HttpOptions noCache = QuickOptions();
    noCache.cacheBytes = 0;
    HttpSession third(noCache);
    EXPECT_EQ(FetchCopy(third, url), "counted");
    EXPECT_EQ(FetchCopy(third, url), "counted");
    EXPECT_EQ(hits_, 4);
}

// A key in a header may change the answer, so such a GET is never served
// from the cache or kept there, and the header goes with that GET alone.
TEST_F(HttpRetrieverTest, ExtraHeadersGoWithTheirGetOnly) {
    std::mutex mutex;
    std::vector<std::string> keys;
    server_.Server().Get("/key", [&](const httplib::Request& request, httplib::Response& response) {
        const std::lock_guard lock(mutex);
        keys.push_back(request.get_header_value("API-OPR"));
        response.set_content("key", "text/plain");
    });
    const std::string url = Url("/key");
    HttpSession session(QuickOptions());
    HttpRetriever retriever(session);
    EXPECT_EQ(retriever.Get(url, {"API-OPR: secret"}).body, "key");
    EXPECT_EQ(retriever.Get(url, {"API-OPR: secret"}).body, "key");
    EXPECT_EQ(retriever.Get(url).body, "key");
    EXPECT_EQ(retriever.Get(url).body, "key");
    const PageAnswer refused = retriever.Get(url, {"API-OPR: a\r\nX-Injected: 1"});
    EXPECT_FALSE(refused.answered);
    const std::lock_guard lock(mutex);
    EXPECT_EQ(keys, (std::vector<std::string>{"secret", "secret", ""}));
}

TEST_F(HttpRetrieverTest, PostSendsTheFormOnceAndIsNotCached) {
    std::string body;
    std::string type;
    server_.Server().Post("/form",
                          [&](const httplib::Request& request, httplib::Response& response) {
                              ++hits_;
                              std::lock_guard lock(seenMutex_);
                              body = request.body;
                              type = request.get_header_value("Content-Type");
                              response.set_content("posted", "text/plain");
                          });
    HttpSession session(QuickOptions());
    HttpRetriever retriever(session);
    const std::string url = Url("/form");
    const std::string* answer = retriever.Fetch(url, true, "a=1&b=two");
    ASSERT_NE(answer, nullptr);
    EXPECT_EQ(*answer, "posted");
    {
        std::lock_guard lock(seenMutex_);
        EXPECT_EQ(body, "a=1&b=two");
        EXPECT_EQ(type, "application/x-www-form-urlencoded");
    }

    ASSERT_NE(retriever.Fetch(url, true, "x\0y", 3), nullptr);
    {
        std::lock_guard lock(seenMutex_);
        EXPECT_EQ(body, std::string("x\0y", 3));
    }
    EXPECT_EQ(hits_, 2);

    ASSERT_NE(retriever.Fetch(url, true), nullptr);
    {
        std::lock_guard lock(seenMutex_);
        EXPECT_EQ(body, "");
    }
    EXPECT_EQ(retriever.Fetch(url, true, nullptr, 5), nullptr);
    EXPECT_EQ(retriever.LastError(), CURLE_BAD_FUNCTION_ARGUMENT);
    EXPECT_EQ(retriever.Fetch(url, true, "abc", -2), nullptr);
    EXPECT_EQ(hits_, 3);
}

TEST_F(HttpRetrieverTest, MissingUrlIsAnErrorWithoutARequest) {
    HttpSession session(QuickOptions());
    HttpRetriever retriever(session);
    EXPECT_EQ(retriever.Fetch(std::nullopt), nullptr);
    EXPECT_EQ(retriever.LastError(), -1);
    EXPECT_EQ(retriever.Fetch(""), nullptr);
    EXPECT_EQ(retriever.LastError(), CURLE_URL_MALFORMAT);
    // Scraped addresses must never reach local files or other protocols.
    EXPECT_EQ(retriever.Fetch("file:///etc/hostname"), nullptr);
    EXPECT_EQ(retriever.LastError(), CURLE_UNSUPPORTED_PROTOCOL);
    EXPECT_EQ(session.RequestsSent(), 0);
}

TEST_F(HttpRetrieverTest, BodyCapEndsTheReadAndKeepsWhatWasRead) {
    HttpOptions options = QuickOptions();
    options.maxBodyBytes = 1000;
    HttpSession session(options);
    for (const std::size_t size : {999u, 1000u, 1001u}) {
        const auto body = FetchCopy(session, Url("/bytes?n=" + std::to_string(size)));
        ASSERT_TRUE(body.has_value()) << size;
        EXPECT_EQ(body->size(), std::min<std::size_t>(size, 1000)) << size;
    }
    const auto endless = FetchCopy(session, Url("/endless?pause_ms=0"));
    ASSERT_TRUE(endless.has_value());
    EXPECT_EQ(*endless, std::string(1000, 'x'));
}

TEST_F(HttpRetrieverTest, StallAndEndlessServersEndWithinTheirBounds) {
    HttpOptions stallBound = QuickOptions();
    stallBound.stallTimeoutS = 1;
    HttpSession stalling(stallBound);
    EXPECT_EQ(FetchCopy(stalling, Url("/stall")), "begin");
    // The server holds the answer until the test ends, so only the stall
    // limit can have ended the read.
    EXPECT_FALSE(stallEnded_.load());

    // Bytes keep coming until the test ends, and the cap would take far
    // longer than the limit to reach, so an answer short of the cap shows
    // that the limit on the whole attempt ended it.
    HttpOptions timeBound = QuickOptions();
    timeBound.fetchTimeoutS = 1;
    timeBound.maxBodyBytes = 1 << 20;
    HttpSession trickling(timeBound);
    const auto trickle = FetchCopy(trickling, Url("/endless?pause_ms=50"));
    ASSERT_TRUE(trickle.has_value());
    EXPECT_GT(trickle->size(), 0u);
    EXPECT_LT(trickle->size(), std::size_t{1} << 20);
    // Both answers had begun, so neither attempt was repeated.
    EXPECT_EQ(stalling.RequestsSent() + trickling.RequestsSent(), 2);
}

TEST_F(HttpRetrieverTest, AbortEndsAFetchInFlightAndRefusesNewOnes) {
    HttpOptions options = QuickOptions();
    options.stallTimeoutS = 30;
    options.fetchTimeoutS = 60;
    RunStop stop;
    HttpSession session(options, stop);
    HttpRetriever retriever(session);
    const std::string url = Url("/stall");
    std::atomic<bool> returned{false};
    std::thread aborter([&] {
        while (!stallBegun_.load() && !returned.load()) {
            std::this_thread::sleep_for(milliseconds(1));
        }
        stop.Abort();
    });
    const std::string* body = retriever.Fetch(url);
    returned = true;
    // The server still holds the answer open, so only the abort ended it.
    EXPECT_FALSE(stallEnded_.load());
    aborter.join();
    EXPECT_EQ(body, nullptr);
    EXPECT_EQ(session.RequestsSent(), 1);

    EXPECT_EQ(retriever.Fetch(Url("/count")), nullptr);
    EXPECT_EQ(hits_, 0);
    EXPECT_EQ(session.RequestsSent(), 1);
}

TEST(HttpRetrieverRetryTest, RetriesOnlyAttemptsThatGotNoAnswer) {
    ScriptedServer server({"", "", kAnswer});
    HttpSession session(QuickOptions());
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/";
    EXPECT_EQ(FetchCopy(session, url), "hello");
    EXPECT_EQ(server.Connections(), 3);
    EXPECT_EQ(session.RequestsSent(), 3);

    ScriptedServer broken({"HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\nhalf"});
    EXPECT_EQ(FetchCopy(session, "http://127.0.0.1:" + std::to_string(broken.Port()) + "/"),
              "half");
    EXPECT_EQ(broken.Connections(), 1);

    // A redirect is not yet the answer: its target giving nothing is a failure.
    ScriptedServer silent({""});
    ScriptedServer redirecting({"HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:" +
                                std::to_string(silent.Port()) + "/\r\nContent-Length: 0\r\n\r\n"});
    EXPECT_EQ(FetchCopy(session, "http://127.0.0.1:" + std::to_string(redirecting.Port()) + "/"),
              std::nullopt);
    EXPECT_EQ(redirecting.Connections(), 3);
    EXPECT_EQ(silent.Connections(), 3);
}

TEST(HttpRetrieverRetryTest, FailuresAreNotCached) {
    ScriptedServer server({"", "", "", kAnswer});
    HttpSession session(QuickOptions());
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/";
    HttpRetriever retriever(session);
    EXPECT_EQ(retriever.Fetch(url), nullptr);
    EXPECT_EQ(retriever.LastError(), CURLE_GOT_NOTHING);
    EXPECT_EQ(server.Connections(), 3);

    const std::string* body = retriever.Fetch(url);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(*body, "hello");
    EXPECT_EQ(server.Connections(), 4);
}

TEST(HttpRetrieverRetryTest, PostIsSentOnlyOnce) {
    ScriptedServer server({"", kAnswer});
    HttpSession session(QuickOptions());
    HttpRetriever retriever(session);
    const std::string url = "http://127.0.0.1:" + std::to_string(server.Port()) + "/";
    EXPECT_EQ(retriever.Fetch(url, true, "a=1"), nullptr);
    EXPECT_EQ(server.Connections(), 1);
}

TEST(HttpRetrieverTlsTest, UntrustedCertificateIsRefused) {
    ScriptedServer server({kAnswer}, true);
    ScriptedServer plain({kAnswer});
    HttpSession session(QuickOptions());
    HttpRetriever retriever(session);
    ASSERT_NE(retriever.Fetch("http://127.0.0.1:" + std::to_string(plain.Port()) + "/"), nullptr);
    EXPECT_EQ(retriever.Fetch("https://127.0.0.1:" + std::to_string(server.Port()) + "/"), nullptr);
    EXPECT_EQ(retriever.LastError(), CURLE_PEER_FAILED_VERIFICATION);
    EXPECT_GT(server.Connections(), 0);
    // No request left: only the plain fetch counts.
    EXPECT_EQ(session.RequestsSent(), 1);
}

}  // namespace
}  // namespace veltrap
