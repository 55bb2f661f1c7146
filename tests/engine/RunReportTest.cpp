#include "engine/RunReport.h"

#include "support/LoopbackServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace veltrap {
namespace {

using ::testing::ElementsAre;

// A small web on one loopback server: pages by host name and request target,
// a log of what was asked, and hooks that run before a page is answered.
class MiniWeb {
public:
    MiniWeb() {
        server_.Server().Get(
            ".*", [this](const httplib::Request& request, httplib::Response& response) {
                const std::string host = request.get_header_value("Host");
                const std::string key = host + request.target;
                std::function<void()> hook;
                std::string body;
                {
                    std::lock_guard lock(mutex_);
                    asked_.push_back(key);
                    peak_ = std::max(peak_, ++going_[host]);
                    if (const auto found = hooks_.find(key); found != hooks_.end()) {
                        hook = found->second;
                    } else if (every_) {
                        hook = [this, key] { every_(key); };
                    }
                    if (const auto found = pages_.find(key); found != pages_.end()) {
                        body = found->second;
                    }
                }
                if (hook) {
                    hook();
                }
                {
                    std::lock_guard lock(mutex_);
                    --going_[host];
                }
                response.set_content(body, "text/html");
            });
    }

    // The server's threads read the maps below, so they end first.
    ~MiniWeb() { server_.Stop(); }
    MiniWeb(const MiniWeb&) = delete;
    MiniWeb& operator=(const MiniWeb&) = delete;

    void Serve(const std::string& key, std::string body) {
        std::lock_guard lock(mutex_);
        pages_[key] = std::move(body);
    }
    void Before(const std::string& key, std::function<void()> hook) {
        std::lock_guard lock(mutex_);
        hooks_[key] = std::move(hook);
    }
    // A hook for every address without one of its own; set before Start.
    void BeforeEvery(std::function<void(const std::string& key)> hook) { every_ = std::move(hook); }
    void Start() { server_.Start(); }
    std::vector<std::string> Asked() {
        std::lock_guard lock(mutex_);
        return asked_;
    }
    // The most requests one host was answering at once.
    int PeakOnOneHost() {
        std::lock_guard lock(mutex_);
        return peak_;
    }
    bool WasAsked(const std::string& key) {
        const auto asked = Asked();
        return std::find(asked.begin(), asked.end(), key) != asked.end();
    }
    ServiceConfig Config() const {
        ServiceConfig config;
        config.http.connectTo = server_.Address();
        config.services.siteExplorerHost = "explorer.test";
        config.services.siteExplorerNextMarker = "http://img.test/ar_next.gif";
        config.services.googleHost = "g.test";
        config.services.yahooHost = "y.test";
        config.services.msnHost = "m.test";
        config.services.pagerankHost = "pagerank.test";
        // One record at a time, so that the order of lines and requests is
        // the one the run defines; side by side runs are checked on their own.
        config.http.jobs = 1;
        return config;
    }

private:
    testing::LoopbackServer server_;
    std::mutex mutex_;
    std::map<std::string, std::string> pages_;
    std::map<std::string, std::function<void()>> hooks_;
    std::vector<std::string> asked_;
    std::function<void(const std::string& key)> every_;
    std::map<std::string, int> going_;
    int peak_ = 0;
};

std::string ExplorerKey(const std::string& siteKey, int first) {
    return "explorer.test/search?p=" + siteKey + "&bwm=i&bwmf=s&b=" + std::to_string(first);
}

std::string ResultsPage(const std::vector<std::string>& urls, bool next = false) {
    std::string page = "<ol>";
    for (const auto& url : urls) {
        page += "<li><a class=\"yschttl\" href=\"" + url + "\">r</a></li>";
    }
    return page + "</ol>" + (next ? "<img src=\"http://img.test/ar_next.gif\">" : "");
}

std::string LinkingPage(const std::string& target, const std::string& text) {
    return "<html><head><title>links</title></head><body><a href=\"" + target + "\">" + text +
           "</a></body></html>";
}

// One run as a session holds it: its stop, its HTTP session, and what it
// told from its threads. Like a session, it takes no line once stopped.
class Observed {
public:
    explicit Observed(const ServiceConfig& config) : http_(config.http, stop) {}

    RunContext Context() {
        RunProgress progress;
        progress.status = [this](const std::string& line) {
            std::lock_guard lock(mutex);
            if (stop.Cancelled()) {
                return false;
            }
            lines.push_back(line);
            return true;
        };
        progress.recordDone = [this](std::size_t done, std::size_t total) {
            std::lock_guard lock(mutex);
            records.emplace_back(done, total);
        };
        return {stop, http_, std::move(progress)};
    }

    RunStop stop;
    std::mutex mutex;
    std::vector<std::string> lines;
    std::vector<std::pair<std::size_t, std::size_t>> records;

private:
    HttpSession http_;
};

struct Outcome {
    std::string url;
    std::string href;
    std::string anchorText;
};

std::vector<Outcome> Records(const RunResult& result) {
    std::vector<Outcome> out;
    for (const auto& record : result.records) {
        out.push_back({record.url, record.href, record.anchorText});
    }
    return out;
}

MATCHER_P3(IsRecord, url, href, anchorText, "") {
    return arg.url == url && arg.href == href && arg.anchorText == anchorText;
}

RunResult RunOn(const ServiceConfig& config, Observed& observed, const std::string& site,
                int backlinkPages = 10, int rankingPages = 2) {
    RunPlan plan = RunPlan::Make({site, backlinkPages, rankingPages, nullptr},
                                 RunServices::Make(config).value(), config);
    return RunReport(plan, observed.Context());
}

class RunReportTest : public ::testing::Test {
protected:
    RunResult Run(const std::string& site, int backlinkPages = 10) {
        return RunOn(web.Config(), observed(), site, backlinkPages);
    }
    // Made once the web has its port, which the session's connections use.
    Observed& observed() {
        if (!observed_) {
            observed_.emplace(web.Config());
        }
        return *observed_;
    }
    MiniWeb web;
    std::optional<Observed> observed_;
};

TEST_F(RunReportTest, RecordsAreFilteredFilledAndAnnounced) {
    web.Serve(ExplorerKey("mysite.test", 1),
              ResultsPage({"http://mysite.test/own", "http://a.example", "http://d.example/x"}));
    web.Serve("a.example/", LinkingPage("http://mysite.test/shop", "My Site"));
    web.Serve("d.example/x", "mysite.test is mentioned, never linked, in this long enough text");
    web.Serve("pagerank.test/?http://a.example", "Your pagerank is: <font color=red>3</font>");
    web.Start();
    const RunResult result = Run("http://www.mysite.test ");

    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(result.backlinkCount, 3);
    ASSERT_EQ(result.records.size(), 1u);
    const BacklinkRecord& record = *result.records.begin();
    EXPECT_EQ(record.url, "http://a.example");
    EXPECT_EQ(record.href, "http://mysite.test/shop");
    EXPECT_EQ(record.anchorText, "my site");
    // A page address without a path is its own home page.
    EXPECT_EQ(record.pageRank, 3);
    EXPECT_EQ(record.homePageRank, 3);
    EXPECT_EQ(record.sitePos[RankColumn::kGoogle], -1);
    EXPECT_FALSE(record.reciprocal);

    EXPECT_THAT(observed().lines,
                ElementsAre("Indexing Backlinks...", "Examining http://a.example...\r\n",
                            "Gathering ranking data for keyphrase: my site...\r\n",
                            "Examining http://d.example/x...\r\n"));
    using Position = std::pair<std::size_t, std::size_t>;
    EXPECT_THAT(observed().records, ElementsAre(Position{1, 3}, Position{2, 3}, Position{3, 3}));

    // The site's own page is dropped unfetched, and the ranks are asked in
    // the order Yahoo, Google, MSN before the reciprocal check.
    EXPECT_FALSE(web.WasAsked("mysite.test/own"));
    const auto asked = web.Asked();
    const auto first = [&asked](const std::string& prefix) {
        return std::find_if(asked.begin(), asked.end(),
                            [&](const std::string& key) { return key.starts_with(prefix); }) -
               asked.begin();
    };
    EXPECT_LT(first("y.test/"), first("g.test/"));
    EXPECT_LT(first("g.test/"), first("m.test/"));
    EXPECT_LT(first("m.test/"), first("mysite.test/shop"));
    EXPECT_TRUE(web.WasAsked("pagerank.test/?http://a.example"));
    EXPECT_FALSE(web.WasAsked("pagerank.test/?"));
}

TEST_F(RunReportTest, DiscoveryPagesUntilAShortPage) {
    std::vector<std::string> own;
    for (int n = 0; n < 50; ++n) {
        own.push_back("http://mysite.test/p" + std::to_string(n));
    }
    web.Serve(ExplorerKey("mysite.test", 1), ResultsPage(own, true));
    web.Serve(ExplorerKey("mysite.test", 51), ResultsPage({"http://mysite.test/last"}, true));
    web.Start();
    const RunResult result = Run("mysite.test", 5);
    EXPECT_EQ(result.backlinkCount, 51);
    EXPECT_TRUE(result.records.empty());
    EXPECT_THAT(web.Asked(),
                ElementsAre(ExplorerKey("mysite.test", 1), ExplorerKey("mysite.test", 51)));
    EXPECT_FALSE(result.cancelled);
}

TEST_F(RunReportTest, NoBacklinkPagesMeansNoRequest) {
    web.Start();
    const RunResult result = Run("mysite.test", 0);
    EXPECT_TRUE(web.Asked().empty());
    EXPECT_TRUE(result.records.empty());
    EXPECT_FALSE(result.cancelled);
    EXPECT_THAT(observed().lines, ElementsAre("Indexing Backlinks..."));
}

TEST_F(RunReportTest, CancelKeepsWhatWasFilledAndLeavesTheRest) {
    web.Serve(ExplorerKey("mysite.test", 1),
              ResultsPage({"http://a.example/", "http://b.example/", "http://c.example/"}));
    web.Serve("a.example/", LinkingPage("http://mysite.test/", "Alpha Link"));
    web.Serve("b.example/", LinkingPage("http://mysite.test/", "Beta Link"));
    web.Serve("c.example/", LinkingPage("http://mysite.test/", "Gamma Link"));
    web.Start();
    web.Before("b.example/", [this] { observed().stop.Cancel(); });
    const RunResult result = Run("mysite.test");

    EXPECT_TRUE(result.cancelled);
    EXPECT_THAT(Records(result),
                ElementsAre(IsRecord("http://a.example/", "http://mysite.test/", "alpha link"),
                            IsRecord("http://b.example/", "http://mysite.test/", "beta link"),
                            IsRecord("http://c.example/", "", "")));
    const BacklinkRecord& b = *std::next(result.records.begin());
    EXPECT_EQ(b.pagePos[RankColumn::kYahoo], -1);
    EXPECT_EQ(b.pageRank, -1);
    EXPECT_FALSE(web.WasAsked("c.example/"));
    EXPECT_EQ(observed().lines.back(), "Examining http://b.example/...\r\n");
}

TEST_F(RunReportTest, CancelDuringDiscoveryStopsAtTheFirstRecord) {
    web.Serve(ExplorerKey("mysite.test", 1),
              ResultsPage({"http://mysite.test/own", "http://a.example/"}));
    web.Start();
    web.Before(ExplorerKey("mysite.test", 1), [this] { observed().stop.Cancel(); });
    const RunResult result = Run("mysite.test");
    EXPECT_TRUE(result.cancelled);
    // Nothing was filtered and no status line replaced the cancel.
    EXPECT_EQ(result.records.size(), 2u);
    EXPECT_TRUE(observed().lines.empty());
    EXPECT_EQ(web.Asked().size(), 1u);
}

TEST_F(RunReportTest, LaterRunIsUntouchedByACancelledWorker) {
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::promise<void> entered;
    web.Serve(ExplorerKey("old.test", 1),
              ResultsPage({"http://slow.example/", "http://o.example/"}));
    web.Serve("slow.example/", LinkingPage("http://old.test/", "Old Link"));
    web.Serve(ExplorerKey("new.test", 1), ResultsPage({"http://n.example/"}));
    web.Serve("n.example/", LinkingPage("http://new.test/", "New Link"));
    // The hook keeps its own share of the release, since the server's thread
    // may still be leaving wait() when the test's own objects go.
    web.Before("slow.example/", [&entered, released] {
        entered.set_value();
        released.wait();
    });
    web.Start();

    const ServiceConfig config = web.Config();
    Observed old(config);
    RunResult oldResult;
    std::thread worker([&] { oldResult = RunOn(config, old, "old.test", 10, 1); });
    const bool inFetch =
        entered.get_future().wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    old.stop.Cancel();
    if (!inFetch) {
        release.set_value();
        worker.join();
        FAIL() << "the old run never reached its slow page";
    }

    const RunResult fresh = Run("new.test");
    const std::vector<std::string> lines = observed().lines;
    release.set_value();
    worker.join();

    EXPECT_FALSE(fresh.cancelled);
    EXPECT_EQ(fresh.backlinkCount, 1);
    EXPECT_EQ(observed().lines, lines);
    EXPECT_THAT(Records(fresh),
                ElementsAre(IsRecord("http://n.example/", "http://new.test/", "new link")));
    // The old run kept its own list: the record in flight was filled, the
    // one after it was left unexamined.
    EXPECT_TRUE(oldResult.cancelled);
    EXPECT_THAT(Records(oldResult),
                ElementsAre(IsRecord("http://slow.example/", "http://old.test/", "old link"),
                            IsRecord("http://o.example/", "", "")));
}

// A linking page whose nine lookups all go to distinct addresses: the page
// has a path, so its home page is another address.
void ServeLinkedPage(MiniWeb& web) {
    web.Serve(ExplorerKey("mysite.test", 1), ResultsPage({"http://a.example/page"}));
    web.Serve("a.example/page", LinkingPage("http://mysite.test/", "Alpha Link"));
}

TEST_F(RunReportTest, ACancelWhileARecordsLookupsAreInFlightLeavesThemUnfilled) {
    ServeLinkedPage(web);
    // Every lookup's first request is held until the run is cancelled. The
    // nine lookups ask six addresses: a page's and its site's rank check on
    // one engine read the same result page, fetched once. The
    // hook keeps its own share of the gate, as a server thread may still be
    // leaving it when the test's own objects go.
    struct Gate {
        std::mutex mutex;
        std::condition_variable changed;
        int held = 0;
        bool released = false;
    };
    const auto gate = std::make_shared<Gate>();
    web.BeforeEvery([gate](const std::string& key) {
        if (key.starts_with("a.example/") || key.starts_with("explorer.test/")) {
            return;
        }
        std::unique_lock lock(gate->mutex);
        ++gate->held;
        gate->changed.notify_all();
        gate->changed.wait(lock, [&gate] { return gate->released; });
    });
    web.Start();
    ServiceConfig config = web.Config();
    config.http.jobs = 4;
    Observed run(config);
    RunResult result;
    std::thread worker([&] { result = RunOn(config, run, "mysite.test"); });
    int held = 0;
    {
        std::unique_lock lock(gate->mutex);
        gate->changed.wait_for(lock, std::chrono::seconds(30), [&] { return gate->held == 6; });
        held = gate->held;
    }
    run.stop.Cancel();
    const std::size_t askedAtCancel = web.Asked().size();
    {
        std::lock_guard lock(gate->mutex);
        gate->released = true;
    }
    gate->changed.notify_all();
    worker.join();
    ASSERT_EQ(held, 6) << "the record's lookups were not asked side by side";

    EXPECT_TRUE(result.cancelled);
    ASSERT_EQ(result.records.size(), 1u);
    const BacklinkRecord& record = *result.records.begin();
    EXPECT_EQ(record.anchorText, "alpha link");
    EXPECT_EQ(record.pageRank, -1);
    EXPECT_EQ(record.homePageRank, -1);
    EXPECT_EQ(record.pagePos, RankPositions{});
    EXPECT_EQ(record.sitePos, RankPositions{});
    EXPECT_FALSE(record.reciprocal);
    EXPECT_TRUE(record.failures.empty());
    // No further result page or link was asked for once cancelled.
    EXPECT_EQ(web.Asked().size(), askedAtCancel);
}

TEST_F(RunReportTest, ARecordsLookupsOnOneHostKeepToItsLimit) {
    web.Serve("one.test/search?p=one.test&bwm=i&bwmf=s&b=1",
              ResultsPage({"http://a.example/page", "http://b.example/page"}));
    web.Serve("a.example/page", LinkingPage("http://one.test/", "Alpha Link"));
    web.Serve("b.example/page", LinkingPage("http://one.test/", "Beta Link"));
    // Each lookup's answer takes a while, so that lookups let loose on the
    // host would overlap.
    web.BeforeEvery([](const std::string& key) {
        if (key.starts_with("one.test/") && key.find("bwm=i") == std::string::npos) {
            std::this_thread::sleep_for(std::chrono::milliseconds(30));
        }
    });
    web.Start();
    ServiceConfig config = web.Config();
    config.services.siteExplorerHost = "one.test";
    config.services.googleHost = "one.test";
    config.services.yahooHost = "one.test";
    config.services.msnHost = "one.test";
    config.services.pagerankHost = "one.test";
    config.http.jobs = 8;
    config.http.perHostConnections = 2;
    Observed run(config);
    const RunResult result = RunOn(config, run, "one.test", 10, 1);
    EXPECT_FALSE(result.cancelled);
    EXPECT_EQ(result.records.size(), 2u);
    EXPECT_EQ(web.PeakOnOneHost(), 2);
}

}  // namespace
}  // namespace veltrap
