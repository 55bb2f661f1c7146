#include "demo/DemoWeb.h"

#include "demo/DemoConfig.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

namespace veltrap {
namespace {

struct Request {
    std::string host;
    std::string target;
};

std::vector<Request> MixedRequests() {
    return {
        {std::string(kDemoSiteExplorerHost), "/search?p=veltrap-demo.example&bwm=i&bwmf=s&b=1"},
        {std::string(kDemoSiteExplorerHost), "/search?p=veltrap-demo.example&bwm=i&bwmf=s&b=51"},
        {std::string(kDemoGoogleHost), "/search?q=visit%20veltrap-demo.example&start=0"},
        {std::string(kDemoYahooHost), "/search?p=veltrap-demo.example&b=11"},
        {std::string(kDemoMsnHost), "/results.aspx?q=caf%E9%20culture&first=1"},
        {std::string(kDemoPageRankHost), "/?http://www.a.example/b.html"},
        {"www.veltrap-demo.example", "/"},
        {"veltrap-demo.example", "/links.html"},
        {"veltrap-demo.example", "/missing.html"},
        {std::string(kDemoImageHost), "/i/us/search/gr/ar_next.gif"},
    };
}

TEST(DemoWebTest, AnswersManyRequestsSideBySideAsThePagesSay) {
    DemoOptions options;
    options.latencyMs = 1;
    options.size = 120;
    options.threads = 8;
    DemoWeb web(options);
    ASSERT_TRUE(web.Start().ok());
    ASSERT_GT(web.Port(), 0);
    EXPECT_EQ(web.ConnectTo(), "127.0.0.1:" + std::to_string(web.Port()));

    const DemoPages expected(options.size);
    const auto requests = MixedRequests();
    constexpr int kClients = 12;
    constexpr int kRounds = 5;
    std::atomic<int> mismatches{0};
    std::atomic<int> failures{0};
    std::vector<std::thread> clients;
    for (int c = 0; c < kClients; ++c) {
        clients.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", web.Port());
            client.set_connection_timeout(5);
            client.set_read_timeout(10);
            for (int round = 0; round < kRounds; ++round) {
                for (std::size_t i = 0; i < requests.size(); ++i) {
                    const Request& request =
                        requests[(i + static_cast<std::size_t>(c)) % requests.size()];
                    const auto result =
                        client.Get(request.target.c_str(), {{"Host", request.host}});
                    if (!result) {
                        failures.fetch_add(1);
                        continue;
                    }
                    const DemoAnswer answer = expected.Answer(request.host, request.target);
                    if (result->status != answer.status || result->body != answer.body) {
                        mismatches.fetch_add(1);
                    }
                }
            }
        });
    }
    for (auto& client : clients) {
        client.join();
    }
    EXPECT_EQ(failures.load(), 0);
    EXPECT_EQ(mismatches.load(), 0);
    web.Stop();
    EXPECT_EQ(web.RequestsAnswered(),
              static_cast<std::int64_t>(kClients * kRounds * requests.size()));
}

// A program that stops its demo web must not wait out an answer's delay.
// The delay is far longer than the test may run, so a Stop that waited for
// it would never return.
TEST(DemoWebTest, StopCutsADelayInProgressShort) {
    DemoOptions options;
    options.latencyMs = 3600 * 1000;
    DemoWeb web(options);
    ASSERT_TRUE(web.Start().ok());
    std::thread client([port = web.Port()] {
        httplib::Client http("127.0.0.1", port);
        http.set_read_timeout(30, 0);
        http.Get("/", {{"Host", "www.veltrap-demo.example"}});
    });
    while (web.PeakLoad().all == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    web.Stop();
    client.join();
}

TEST(DemoWebTest, ABusyPortIsReportedAndStopIsSafeToRepeat) {
    DemoWeb first;
    ASSERT_TRUE(first.Start().ok());
    EXPECT_FALSE(first.Start().ok());

    DemoOptions options;
    options.port = first.Port();
    DemoWeb second(options);
    const Status busy = second.Start();
    ASSERT_FALSE(busy.ok());
    EXPECT_NE(busy.reason().find(std::to_string(first.Port())), std::string::npos) << busy.reason();
    second.Stop();

    first.Stop();
    first.Stop();
    // Once stopped it can be started again on the port it asked for.
    DemoWeb third(options);
    EXPECT_TRUE(third.Start().ok());
    EXPECT_EQ(third.Port(), options.port);
}

}  // namespace
}  // namespace veltrap
