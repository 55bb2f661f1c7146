#include "engine/RunReport.h"

#include "support/LoopbackServer.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <future>
#include <map>
#include <mutex>
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
                const std::string key = request.get_header_value("Host") + request.target;
                std::function<void()> hook;
                std::string body;
                {
                    std::lock_guard lock(mutex_);
                    asked_.push_back(key);
                    if (const auto found = hooks_.find(key); found != hooks_.end()) {
                        hook = found->second;
                    }
                    if (const auto found = pages_.find(key); found != pages_.end()) {
                        body = found->second;
                    }
                }
                if (hook) {
                    hook();
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
    void Start() { server_.Start(); }
    std::vector<std::string> Asked() {
        std::lock_guard lock(mutex_);
        return asked_;
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

// Records what a run reports, from the worker's thread.
struct Observed {
    RunEvents Events() {
        RunEvents events;
        events.status = [this](const std::string& line) {
            std::lock_guard lock(mutex);
            lines.push_back(line);
        };
        events.recordDone = [this](std::size_t done, std::size_t total) {
            std::lock_guard lock(mutex);
            records.emplace_back(done, total);
        };
        return events;
    }
    std::mutex mutex;
    std::vector<std::string> lines;
    std::vector<std::pair<std::size_t, std::size_t>> records;
};

struct Outcome {
    std::string url;
    std::string href;
    std::string anchorText;
};

std::vector<Outcome> Records(const RunShared& shared) {
    std::vector<Outcome> out;
    for (const auto& record : shared.List()) {
        out.push_back({record.url, record.href, record.anchorText});
    }
    return out;
}

MATCHER_P3(IsRecord, url, href, anchorText, "") {
    return arg.url == url && arg.href == href && arg.anchorText == anchorText;
}

class RunReportTest : public ::testing::Test {
protected:
    void Run(RunShared& shared, const std::string& site, int backlinkPages = 10) {
        shared.runState = kRunStarted;
        RunReport({site, backlinkPages, 2}, web.Config(), shared, observed.Events());
    }
    MiniWeb web;
    Observed observed;
};

TEST_F(RunReportTest, RecordsAreFilteredFilledAndAnnounced) {
    web.Serve(ExplorerKey("mysite.test", 1),
              ResultsPage({"http://mysite.test/own", "http://a.example", "http://d.example/x"}));
    web.Serve("a.example/", LinkingPage("http://mysite.test/shop", "My Site"));
    web.Serve("d.example/x", "mysite.test is mentioned, never linked, in this long enough text");
    web.Serve("pagerank.test/?http://a.example", "Your pagerank is: <font color=red>3</font>");
    web.Start();
    const ServiceConfig config = web.Config();
    RunShared shared(config.http);
    Run(shared, "http://www.mysite.test ");

    EXPECT_EQ(shared.runState.load(), kRunIdle);
    EXPECT_EQ(shared.backlinkCount.load(), 3);
    ASSERT_EQ(shared.List().size(), 1u);
    const BacklinkRecord& record = *shared.List().begin();
    EXPECT_EQ(record.url, "http://a.example");
    EXPECT_EQ(record.href, "http://mysite.test/shop");
    EXPECT_EQ(record.anchorText, "my site");
    // A page address without a path is its own home page.
    EXPECT_EQ(record.pageRank, 3);
    EXPECT_EQ(record.homePageRank, 3);
    EXPECT_EQ(record.sitePos[RankColumn::kGoogle], -1);
    EXPECT_FALSE(record.reciprocal);

    EXPECT_THAT(observed.lines,
                ElementsAre("Indexing Backlinks...", "Examining http://a.example...\r\n",
                            "Gathering ranking data for keyphrase: my site...\r\n",
                            "Examining http://d.example/x...\r\n"));
    EXPECT_EQ(shared.StatusText(), "Examining http://d.example/x...\r\n");
    using Position = std::pair<std::size_t, std::size_t>;
    EXPECT_THAT(observed.records, ElementsAre(Position{1, 3}, Position{2, 3}, Position{3, 3}));

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
    RunShared shared(web.Config().http);
    Run(shared, "mysite.test", 5);
    EXPECT_EQ(shared.backlinkCount.load(), 51);
    EXPECT_TRUE(shared.List().empty());
    EXPECT_THAT(web.Asked(),
                ElementsAre(ExplorerKey("mysite.test", 1), ExplorerKey("mysite.test", 51)));
    EXPECT_EQ(shared.runState.load(), kRunIdle);
}

TEST_F(RunReportTest, NoBacklinkPagesMeansNoRequest) {
    web.Start();
    RunShared shared(web.Config().http);
    Run(shared, "mysite.test", 0);
    EXPECT_TRUE(web.Asked().empty());
    EXPECT_TRUE(shared.List().empty());
    EXPECT_EQ(shared.runState.load(), kRunIdle);
    EXPECT_THAT(observed.lines, ElementsAre("Indexing Backlinks..."));
}

TEST_F(RunReportTest, CancelKeepsWhatWasFilledAndLeavesTheRest) {
    web.Serve(ExplorerKey("mysite.test", 1),
              ResultsPage({"http://a.example/", "http://b.example/", "http://c.example/"}));
    web.Serve("a.example/", LinkingPage("http://mysite.test/", "Alpha Link"));
    web.Serve("b.example/", LinkingPage("http://mysite.test/", "Beta Link"));
    web.Serve("c.example/", LinkingPage("http://mysite.test/", "Gamma Link"));
    web.Start();
    RunShared shared(web.Config().http);
    web.Before("b.example/", [&shared] { shared.runState = kRunCancelled; });
    Run(shared, "mysite.test");

    EXPECT_EQ(shared.runState.load(), kRunCancelled);
    EXPECT_THAT(Records(shared),
                ElementsAre(IsRecord("http://a.example/", "http://mysite.test/", "alpha link"),
                            IsRecord("http://b.example/", "http://mysite.test/", "beta link"),
                            IsRecord("http://c.example/", "", "")));
    const BacklinkRecord& b = *std::next(shared.List().begin());
    EXPECT_EQ(b.pagePos[RankColumn::kYahoo], -1);
    EXPECT_EQ(b.pageRank, -1);
    EXPECT_FALSE(web.WasAsked("c.example/"));
    EXPECT_EQ(shared.StatusText(), "Examining http://b.example/...\r\n");
}

TEST_F(RunReportTest, CancelDuringDiscoveryStopsAtTheFirstRecord) {
    web.Serve(ExplorerKey("mysite.test", 1),
              ResultsPage({"http://mysite.test/own", "http://a.example/"}));
    web.Start();
    RunShared shared(web.Config().http);
    web.Before(ExplorerKey("mysite.test", 1), [&shared] { shared.runState = kRunCancelled; });
    Run(shared, "mysite.test");
    EXPECT_EQ(shared.runState.load(), kRunCancelled);
    // Nothing was filtered and no status line replaced the cancel.
    EXPECT_EQ(shared.List().size(), 2u);
    EXPECT_TRUE(observed.lines.empty());
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
    RunShared old(config.http);
    old.runState = kRunStarted;
    std::thread worker([&] { RunReport({"old.test", 10, 1}, config, old); });
    const bool inFetch =
        entered.get_future().wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    old.runState = kRunCancelled;
    if (!inFetch) {
        release.set_value();
        worker.join();
        FAIL() << "the old run never reached its slow page";
    }

    RunShared fresh(config.http);
    Run(fresh, "new.test");
    const auto before = Records(fresh);
    const std::string status = fresh.StatusText();
    release.set_value();
    worker.join();

    EXPECT_EQ(fresh.runState.load(), kRunIdle);
    EXPECT_EQ(fresh.backlinkCount.load(), 1);
    EXPECT_EQ(fresh.StatusText(), status);
    EXPECT_THAT(Records(fresh),
                ElementsAre(IsRecord("http://n.example/", "http://new.test/", "new link")));
    EXPECT_EQ(before.size(), 1u);
    // The old run kept its own list: the record in flight was filled, the
    // one after it was left unexamined.
    EXPECT_EQ(old.runState.load(), kRunCancelled);
    EXPECT_THAT(Records(old),
                ElementsAre(IsRecord("http://slow.example/", "http://old.test/", "old link"),
                            IsRecord("http://o.example/", "", "")));
}

}  // namespace
}  // namespace veltrap
