#include "demo/DemoConfig.h"
#include "demo/DemoWeb.h"
#include "engine/RecordFields.h"
#include "engine/SiteKey.h"
#include "net/CurlGlobal.h"
#include "session/ReportSession.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <algorithm>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace veltrap {
namespace {

// libcurl is set up once for the whole test program, before any thread.
const CurlGlobal curlGlobal;

struct DemoRun {
    std::vector<BacklinkRecord> records;
    std::vector<UnlinkedRecord> unlinked;
    int backlinkCount = 0;
    bool completed = false;
    std::int64_t requests = 0;
};

DemoRun RunOnDemo(const DemoWeb& web, const std::string& site) {
    SessionRequest request;
    request.run.siteText = site;
    request.config = DemoServiceConfig(ServiceConfig{}, web.Port());
    ReportSession session(ReportSession::Prepare(request).value(), {});
    const SessionEnd& end = session.Wait();
    DemoRun run;
    if (!end.report) {
        ADD_FAILURE() << end.report.reason();
        return run;
    }
    const auto& outcome = *end.report->result;
    run.unlinked = outcome.unlinked;
    run.records.assign(outcome.records.begin(), outcome.records.end());
    run.backlinkCount = outcome.backlinkCount;
    run.completed = !outcome.cancelled;
    run.requests = outcome.requests;
    return run;
}

// The result addresses the backlink service lists for the site, read from its
// pages as a browser would see them.
std::vector<std::string> ListedBacklinks(const DemoWeb& web, const std::string& siteKey) {
    httplib::Client client("127.0.0.1", web.Port());
    std::vector<std::string> urls;
    static constexpr std::string_view kMarker = "a class=\"yschttl\" href=\"";
    for (int first = 1; first < 1000; first += 50) {
        const auto answer = client.Get(
            ("/search?p=" + siteKey + "&bwm=i&bwmf=s&b=" + std::to_string(first)).c_str(),
            {{"Host", std::string(kDemoSiteExplorerHost)}});
        if (!answer) {
            ADD_FAILURE() << "the backlink service did not answer";
            return urls;
        }
        const std::string& page = answer->body;
        std::size_t found = 0;
        for (auto at = page.find(kMarker); at != std::string::npos;
             at = page.find(kMarker, at + 1)) {
            const auto start = at + kMarker.size();
            urls.push_back(page.substr(start, page.find('"', start) - start));
            ++found;
        }
        if (found < 50) {
            break;
        }
    }
    return urls;
}

class DemoReportTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        DemoOptions options;
        options.latencyMs = 0;
        web_ = new DemoWeb(options);
        ASSERT_TRUE(web_->Start().ok());
        run_ = new DemoRun(RunOnDemo(*web_, DemoSiteName()));
    }
    static void TearDownTestSuite() {
        delete run_;
        delete web_;
        run_ = nullptr;
        web_ = nullptr;
    }

    static DemoWeb* web_;
    static DemoRun* run_;
};

DemoWeb* DemoReportTest::web_ = nullptr;
DemoRun* DemoReportTest::run_ = nullptr;

using Field = RecordField;

const std::map<std::string, Field>& NumberColumns() {
    static const std::map<std::string, Field> kColumns = {
        {"googlePageRankPos", RecordField::kGooglePageRankPos},
        {"msnPageRankPos", RecordField::kMsnPageRankPos},
        {"yahooPageRankPos", RecordField::kYahooPageRankPos},
        {"googleSitePos", RecordField::kGoogleSitePos},
        {"msnSitePos", RecordField::kMsnSitePos},
        {"yahooSitePos", RecordField::kYahooSitePos},
        {"pageRank", RecordField::kPageRank},
        {"homePageRank", RecordField::kHomePageRank},
    };
    return kColumns;
}

bool Any(const std::vector<BacklinkRecord>& records,
         const std::function<bool(const BacklinkRecord&)>& test) {
    return std::any_of(records.begin(), records.end(), test);
}

TEST_F(DemoReportTest, TheRunCompletesWithManyRecords) {
    EXPECT_TRUE(run_->completed);
    EXPECT_GT(run_->records.size(), 40u);
    EXPECT_GT(run_->backlinkCount, static_cast<int>(run_->records.size()));
    EXPECT_GT(run_->requests, static_cast<std::int64_t>(run_->records.size()));
}

TEST_F(DemoReportTest, EveryNumberColumnHoldsRealValuesAndNotDetermined) {
    for (const auto& [name, field] : NumberColumns()) {
        EXPECT_TRUE(Any(run_->records, [f = field](const auto& r) { return NumberOf(r, f) == -1; }))
            << name;
        EXPECT_TRUE(Any(run_->records, [f = field](const auto& r) { return NumberOf(r, f) > 0; }))
            << name;
    }
}

TEST_F(DemoReportTest, RanksAreFoundOnFirstAndLaterPages) {
    for (const auto& [name, field] : NumberColumns()) {
        if (name.find("Pos") == std::string::npos) {
            continue;
        }
        EXPECT_TRUE(Any(run_->records, [f = field](const auto& r) {
            return NumberOf(r, f) >= 1 && NumberOf(r, f) <= 10;
        })) << name;
        EXPECT_TRUE(Any(run_->records, [f = field](const auto& r) { return NumberOf(r, f) > 10; }))
            << name;
    }
}

TEST_F(DemoReportTest, PageRanksIncludeZeroFromTextThatIsNotANumber) {
    EXPECT_TRUE(Any(run_->records, [](const auto& r) { return r.pageRank == 0; }) ||
                Any(run_->records, [](const auto& r) { return r.homePageRank == 0; }));
    for (const auto& record : run_->records) {
        EXPECT_LE(record.pageRank, 10);
        EXPECT_LE(record.homePageRank, 10);
    }
}

// A linking page addressed by its host alone counts as a home page link.
TEST_F(DemoReportTest, SomeLinkingPagesAreFrontPagesOfTheirHosts) {
    EXPECT_TRUE(Any(run_->records, [](const auto& r) {
        return r.url.starts_with("http://") && r.url.find('/', 7) == std::string::npos;
    }));
}

TEST_F(DemoReportTest, LinksAreBothReciprocalAndOneWay) {
    EXPECT_TRUE(Any(run_->records, [](const auto& r) { return r.reciprocal; }));
    EXPECT_TRUE(Any(run_->records, [](const auto& r) { return !r.reciprocal; }));
}

TEST_F(DemoReportTest, AnchorTextsIncludeWordsAndNoAnchorText) {
    EXPECT_TRUE(Any(run_->records, [](const auto& r) { return r.anchorText == "No Anchor Text"; }));
    EXPECT_TRUE(Any(run_->records, [](const auto& r) {
        return r.anchorText.find("veltrap-demo.example") != std::string::npos;
    }));
    for (const auto& record : run_->records) {
        EXPECT_NE(record.href.find("veltrap-demo.example"), std::string::npos) << record.url;
        EXPECT_FALSE(record.anchorText.empty()) << record.url;
    }
}

TEST_F(DemoReportTest, EveryKindOfResultIsDroppedOrKeptAsListed) {
    const std::string key = MakeSiteKey(DemoSiteName());
    const std::vector<std::string> listed = ListedBacklinks(*web_, key);
    ASSERT_EQ(static_cast<int>(listed.size()), run_->backlinkCount);
    std::map<std::string, int> listedCount;
    for (const auto& url : listed) {
        ++listedCount[url];
    }
    std::map<std::string, int> kept;
    for (const auto& record : run_->records) {
        ++kept[record.url];
    }
    int ownPagesDropped = 0;
    int linklessDropped = 0;
    int duplicatesKept = 0;
    for (const auto& [url, count] : listedCount) {
        if (url.find(key) != std::string::npos) {
            EXPECT_EQ(kept.count(url), 0u) << url;
            ++ownPagesDropped;
        } else if (kept.count(url) == 0) {
            ++linklessDropped;
        } else {
            EXPECT_EQ(kept[url], count) << url;
            duplicatesKept += count > 1 ? 1 : 0;
        }
    }
    EXPECT_GT(ownPagesDropped, 0);
    EXPECT_GT(linklessDropped, 0);
    EXPECT_GT(duplicatesKept, 0);
    // The records keep the order in which the service listed them.
    std::vector<std::string> keptInOrder;
    for (const auto& url : listed) {
        if (kept.count(url) != 0) {
            keptInOrder.push_back(url);
        }
    }
    ASSERT_EQ(keptInOrder.size(), run_->records.size());
    for (std::size_t i = 0; i < keptInOrder.size(); ++i) {
        EXPECT_EQ(keptInOrder[i], run_->records[i].url);
    }
}

// So that the Link Status tab of a demo run shows every status there is.
TEST_F(DemoReportTest, LinkingPagesCarryEveryLinkStatus) {
    std::set<std::string> kept;
    for (const auto& record : run_->records) {
        kept.insert(record.linkStatus);
        EXPECT_EQ(record.httpStatus, 200) << record.url;
        EXPECT_FALSE(record.finalUrl.empty()) << record.url;
    }
    EXPECT_EQ(kept, (std::set<std::string>{"follow", "nofollow", "ugc", "sponsored", "noindex"}));
    EXPECT_TRUE(Any(run_->records, [](const auto& r) { return !r.canonical.empty(); }));
    EXPECT_TRUE(Any(run_->records, [](const auto& r) { return r.robots == "nofollow"; }));

    std::set<std::string> removed;
    for (const auto& record : run_->unlinked) {
        removed.insert(record.linkStatus);
        EXPECT_EQ(record.httpStatus == 0,
                  record.linkStatus == "own-site" || record.linkStatus == "unreachable")
            << record.url;
    }
    EXPECT_EQ(removed, (std::set<std::string>{"own-site", "not-found", "gone", "blocked", "error",
                                              "unreachable"}));
    EXPECT_EQ(run_->records.size() + run_->unlinked.size(),
              static_cast<std::size_t>(run_->backlinkCount));
}

TEST_F(DemoReportTest, ASecondRunGivesTheSameRecords) {
    const DemoRun again = RunOnDemo(*web_, "http://veltrap-demo.example ");
    ASSERT_EQ(again.records.size(), run_->records.size());
    EXPECT_EQ(again.requests, run_->requests);
    for (std::size_t i = 0; i < again.records.size(); ++i) {
        const BacklinkRecord& a = again.records[i];
        const BacklinkRecord& b = run_->records[i];
        EXPECT_EQ(a.url, b.url);
        EXPECT_EQ(a.href, b.href);
        EXPECT_EQ(a.anchorText, b.anchorText);
        for (const auto& [name, field] : NumberColumns()) {
            EXPECT_EQ(NumberOf(a, field), NumberOf(b, field)) << name << " of " << a.url;
        }
        EXPECT_EQ(a.reciprocal, b.reciprocal) << a.url;
    }
}

}  // namespace
}  // namespace veltrap
