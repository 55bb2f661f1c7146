#include "net/FetchScheduler.h"

#include "net/CurlGlobal.h"
#include "net/HttpRetriever.h"
#include "support/LoopbackServer.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <future>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace veltrap {
namespace {

using std::chrono::milliseconds;
using std::chrono::steady_clock;

const CurlGlobal curlGlobal;

double SecondsSince(steady_clock::time_point start) {
    return std::chrono::duration<double>(steady_clock::now() - start).count();
}

std::string HttpDate(std::time_t when) {
    std::tm parts{};
    gmtime_r(&when, &parts);
    char text[64];
    std::strftime(text, sizeof text, "%a, %d %b %Y %H:%M:%S GMT", &parts);
    return text;
}

// A web of many host names on one loopback server, reached through connect-to.
// It counts the requests it is answering at once, in all and per Host, and
// how often each path was asked.
class SchedulerWeb : public ::testing::Test {
protected:
    void SetUp() override {
        auto& server = server_.Server();
        server.new_task_queue = [] { return new httplib::ThreadPool(64); };
        server.Get("/slow/.*", [this](const httplib::Request& request, httplib::Response& reply) {
            const std::string host = request.get_header_value("Host");
            Enter(host);
            std::this_thread::sleep_for(milliseconds(60));
            Leave(host);
            reply.set_content("slow", "text/plain");
        });
        server.Get("/refuse/.*", [this](const httplib::Request& request, httplib::Response& reply) {
            // Refuses the first `times` requests of a path with `status` and
            // the Retry-After named by `wait`, then answers.
            const int asked = Ask(request.path);
            if (asked <= std::stoi(request.get_param_value("times"))) {
                reply.status = std::stoi(request.get_param_value("status"));
                const std::string wait = request.get_param_value("wait");
                if (wait == "date") {
                    reply.set_header("Retry-After", HttpDate(std::time(nullptr) + 1));
                } else if (!wait.empty()) {
                    reply.set_header("Retry-After", wait);
                }
                reply.set_content("busy", "text/plain");
                return;
            }
            reply.set_content("done", "text/plain");
        });
        server.Get("/loop", [this](const httplib::Request& request, httplib::Response& reply) {
            Ask(request.path);
            reply.set_redirect("/loop");
        });
        server_.Start();
    }

    HttpOptions Options() const {
        HttpOptions options;
        options.connectTo = server_.Address();
        options.connectTimeoutS = 2;
        options.stallTimeoutS = 5;
        options.fetchTimeoutS = 10;
        return options;
    }

    int Ask(const std::string& path) {
        std::lock_guard lock(mutex_);
        return ++asked_[path];
    }
    int Asked(const std::string& path) {
        std::lock_guard lock(mutex_);
        return asked_[path];
    }
    void Enter(const std::string& host) {
        std::lock_guard lock(mutex_);
        peakAll_ = std::max(peakAll_, ++inFlight_);
        peakHost_ = std::max(peakHost_, ++inFlightOf_[host]);
    }
    void Leave(const std::string& host) {
        std::lock_guard lock(mutex_);
        --inFlight_;
        --inFlightOf_[host];
    }

    testing::LoopbackServer server_;
    std::mutex mutex_;
    std::map<std::string, int> asked_;
    std::map<std::string, int> inFlightOf_;
    int inFlight_ = 0;
    int peakAll_ = 0;
    int peakHost_ = 0;
};

using FetchSchedulerTest = SchedulerWeb;

TEST_F(FetchSchedulerTest, NoHostSeesMoreThanItsLimitWhileHostsGoOnSideBySide) {
    HttpOptions options = Options();
    options.jobs = 16;
    options.perHostConnections = 2;
    HttpSession session(options);
    std::vector<std::thread> jobs;
    std::atomic<int> usable{0};
    for (int job = 0; job < 16; ++job) {
        jobs.emplace_back([&, job] {
            HttpRetriever retriever(session);
            const std::string host = "h" + std::to_string(job % 4) + ".test";
            for (int page = 0; page < 3; ++page) {
                const std::string url =
                    "http://" + host + "/slow/" + std::to_string(job) + "-" + std::to_string(page);
                usable += retriever.Get(url).Usable() ? 1 : 0;
            }
        });
    }
    for (std::thread& job : jobs) {
        job.join();
    }
    EXPECT_EQ(usable, 48);
    std::lock_guard lock(mutex_);
    EXPECT_LE(peakHost_, 2);
    // Four hosts at two each: the limit is kept per host, not in all.
    EXPECT_GT(peakAll_, 2);
}

TEST_F(FetchSchedulerTest, RefusalsAreWaitedOutAndAskedAgain) {
    HttpSession session(Options());
    HttpRetriever retriever(session);
    const std::vector<std::string> queries = {
        "status=429&times=1&wait=1", "status=429&times=1&wait=date", "status=503&times=2&wait=1"};
    for (std::size_t index = 0; index < queries.size(); ++index) {
        const std::string& query = queries[index];
        const auto start = steady_clock::now();
        const PageAnswer answer =
            retriever.Get("http://busy.test/refuse/" + std::to_string(index) + "?" + query);
        EXPECT_TRUE(answer.Usable()) << query << ": " << answer.Problem();
        EXPECT_EQ(answer.body, "done") << query;
        // The date form names a whole second, which may be just under one away.
        EXPECT_GE(SecondsSince(start), 0.3) << query;
    }
    // A 503 without Retry-After is an answer like any other error.
    const PageAnswer plain = retriever.Get("http://busy.test/refuse/x?status=503&times=1&wait=");
    EXPECT_EQ(plain.Problem(), "HTTP 503");
    EXPECT_EQ(Asked("/refuse/x"), 1);
}

TEST_F(FetchSchedulerTest, ARefusalThatNeverEndsFailsAfterThreeRetries) {
    HttpOptions options = Options();
    // Every hold is cut to nothing, so the retries follow at once.
    options.retryAfterMaxS = 0;
    HttpSession session(options);
    HttpRetriever retriever(session);
    const PageAnswer refused =
        retriever.Get("http://busy.test/refuse/endless?status=429&times=99&wait=30");
    EXPECT_TRUE(refused.refused);
    EXPECT_EQ(refused.Problem(), "still refused after 3 retries (HTTP 429)");
    EXPECT_EQ(Asked("/refuse/endless"), 4);
}

TEST_F(FetchSchedulerTest, AHeldHostDoesNotHoldOtherHosts) {
    HttpOptions options = Options();
    // An hour's hold: while it lasts busy.test is asked no further time, so
    // the free host's answer cannot have waited for it, however slow the
    // machine is.
    options.retryAfterMaxS = 3600;
    RunStop stop;
    HttpSession session(options, stop);
    PageAnswer held;
    std::thread busy([&] {
        HttpRetriever retriever(session);
        held = retriever.Get("http://busy.test/refuse/held?status=429&times=99&wait=3600");
    });
    while (Asked("/refuse/held") == 0) {
        std::this_thread::sleep_for(milliseconds(10));
    }
    // The hold is set just after the refusal is read.
    std::this_thread::sleep_for(milliseconds(200));
    auto calm = std::async(std::launch::async, [&] {
        HttpRetriever other(session);
        return other.Get("http://calm.test/refuse/calm?status=429&times=0&wait=");
    });
    // A scheduler that held every host would keep this waiting for the hour.
    const bool served = calm.wait_for(std::chrono::seconds(60)) == std::future_status::ready;
    EXPECT_TRUE(served);
    EXPECT_EQ(Asked("/refuse/held"), 1);
    // A cancelled run's records refuse new fetches, the held one included.
    stop.BeginRecords();
    stop.Cancel();
    busy.join();
    if (served) {
        EXPECT_TRUE(calm.get().Usable());
    }
    EXPECT_FALSE(held.Usable());
    EXPECT_EQ(Asked("/refuse/held"), 1);
}

TEST_F(FetchSchedulerTest, ARedirectLoopEndsAfterTenRedirectsWithoutRetrying) {
    HttpSession session(Options());
    HttpRetriever retriever(session);
    const PageAnswer answer = retriever.Get("http://loop.test/loop");
    EXPECT_TRUE(answer.tooManyRedirects);
    EXPECT_EQ(answer.Problem(), "too many redirects");
    EXPECT_EQ(Asked("/loop"), 11);
}

}  // namespace
}  // namespace veltrap
