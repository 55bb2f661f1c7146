#include "export/HtmlReport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <iterator>
#include <string>

namespace veltrap {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

BacklinkRecord& Add(RunResult& outcome, const std::string& url, const std::string& anchorText) {
    outcome.records.Append(url);
    BacklinkRecord& record = *std::prev(outcome.records.end());
    record.href = "http://mysite.test/";
    record.anchorText = anchorText;
    record.linkStatus = "follow";
    record.httpStatus = 200;
    return record;
}

// Whatever strangers wrote must come out as text: no element, no attribute
// broken open, no script address made a link.
TEST(HtmlReportTest, TextFromPagesAndServicesIsEscaped) {
    RunResult outcome;
    outcome.siteKey = "mysite.test";
    BacklinkRecord& hostile = Add(outcome, "http://evil.test/\"><script>alert(2)</script>",
                                  "widgets <img src=x onerror=alert(1)");
    hostile.rel = "nofollow' onmouseover='alert(3)";
    Add(outcome, "javascript:alert(4)", "caf\xE9 \xFF");
    outcome.failures.push_back({"pagerank-page", 1, "<b>HTTP 503</b>"});
    outcome.unlinked.push_back({"http://gone.test/<i>", "gone", 404, 2});

    const std::string html = HtmlReport(outcome, {"now", {"Authority: <x>"}, {}});
    EXPECT_THAT(html, HasSubstr("widgets &lt;img src=x onerror=alert(1)"));
    EXPECT_THAT(html, HasSubstr("<a href=\"http://evil.test/&quot;&gt;&lt;script&gt;alert(2)"
                                "&lt;/script&gt;\""));
    EXPECT_THAT(html, HasSubstr("nofollow&#39; onmouseover=&#39;alert(3)"));
    EXPECT_THAT(html, HasSubstr("&lt;b&gt;HTTP 503&lt;/b&gt;"));
    EXPECT_THAT(html, HasSubstr("Authority: &lt;x&gt;"));
    // Bytes that are not UTF-8 show as records.json shows them.
    EXPECT_THAT(html, HasSubstr("caf\xC3\xA9 \xC3\xBF"));
    for (const char* element : {"<img", "<script", "<b>", "<i>", "<x>", "href=\"javascript"}) {
        EXPECT_THAT(html, Not(HasSubstr(element))) << element;
    }
}

TEST(HtmlReportTest, SaysWhetherTheRunEnded) {
    RunResult outcome;
    outcome.siteKey = "mysite.test";
    EXPECT_THAT(HtmlReport(outcome, {}), HasSubstr("<dd>Completed</dd>"));
    outcome.cancelled = true;
    const std::string cancelled = HtmlReport(outcome, {});
    EXPECT_THAT(cancelled, HasSubstr("<dd>Cancelled</dd>"));
    EXPECT_THAT(cancelled, HasSubstr("only what was gathered"));
}

// The history adds its two charts and the table of changes, escaped like
// every other text, and nothing at all when there is none.
TEST(HtmlReportTest, HistoryAddsGainedAndLostChartsAndTheChanges) {
    RunResult outcome;
    outcome.siteKey = "mysite.test";
    const std::string without = HtmlReport(outcome, {});
    EXPECT_THAT(without, Not(HasSubstr("per run")));
    EXPECT_THAT(without, Not(HasSubstr("Changes since")));

    HtmlHistory history;
    // Times come as stored and are shown as people read them.
    history.runs = {{"2026-12-01T10:00:00Z", 7, 0}, {"2026-12-08T10:00:59Z", 2, 3}};
    history.changes.Setup(0, 0, 2, 100, 15);
    history.changes.SetHeader(0, "Linking Page", false);
    history.changes.SetHeader(1, "New", false);
    history.changes.SetCell(history.changes.AddRow(), 1, "<b>nofollow</b>");
    const std::string html = HtmlReport(outcome, {}, history);
    EXPECT_THAT(html, HasSubstr("Links gained per run"));
    EXPECT_THAT(html, HasSubstr("Links lost per run"));
    EXPECT_THAT(html, HasSubstr("2026-12-08 10:00 UTC"));
    EXPECT_THAT(html, HasSubstr(">7</text>"));
    EXPECT_THAT(html, HasSubstr("<h2>Changes since the previous run</h2>"));
    EXPECT_THAT(html, HasSubstr("&lt;b&gt;nofollow&lt;/b&gt;"));

    history.changes.Setup(0, 0, 2, 100, 15);
    EXPECT_THAT(HtmlReport(outcome, {}, history),
                HasSubstr("No link was gained, lost or changed."));
}

// A cell whose lookup failed keeps "NA" and is marked, with the service and
// the reason as its title, escaped like every other text.
TEST(HtmlReportTest, FailedLookupsAreMarkedWithTheirReason) {
    RunResult outcome;
    outcome.siteKey = "mysite.test";
    Add(outcome, "http://a.test/", "found").sitePos[RankColumn::kGoogle] = 4;
    Add(outcome, "http://b.test/", "failed").failures = {
        {RecordField::kGoogleSitePos, "answer \"<odd>\""}};
    outcome.lookupServices.Set(RecordField::kGoogleSitePos, "searxng");
    const std::string html = HtmlReport(outcome, {});
    EXPECT_THAT(html, HasSubstr("<td class=\"failed\" title=\"Lookup failed at searxng: answer "
                                "&quot;&lt;odd&gt;&quot;\">NA</td>"));
    EXPECT_THAT(html, HasSubstr("<td>4</td>"));
    EXPECT_THAT(html, HasSubstr("td.failed {"));
}

TEST(HtmlReportTest, LongTablesPointToTheirCsv) {
    RunResult outcome;
    for (int n = 0; n < kHtmlTableRows + 5; ++n) {
        Add(outcome, "http://a.test/" + std::to_string(n), "same words");
    }
    const std::string html = HtmlReport(outcome, {});
    EXPECT_THAT(html, HasSubstr("Showing the first 2,000 rows; 5 more are in links.csv."));
    EXPECT_THAT(html, HasSubstr("http://a.test/1999\""));
    EXPECT_THAT(html, Not(HasSubstr("http://a.test/2000\"")));
    // The one keyphrase is counted once per linking page on its bar.
    EXPECT_THAT(html, HasSubstr(">2005</text>"));
    // Nothing the page could load from elsewhere, and no script of its own.
    for (const char* loader :
         {"src=", "url(", "@import", "<link", "<iframe", "<object", "<script"}) {
        EXPECT_THAT(html, Not(HasSubstr(loader))) << loader;
    }
}

}  // namespace
}  // namespace veltrap
