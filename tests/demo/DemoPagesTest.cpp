#include "demo/DemoPages.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"
#include "demo/DemoConfig.h"
#include "demoworld/DemoText.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

namespace veltrap {
namespace {

constexpr const char* kSite = "veltrap-demo.example";

std::size_t Count(std::string_view text, std::string_view needle) {
    std::size_t count = 0;
    for (auto at = text.find(needle); at != std::string_view::npos;
         at = text.find(needle, at + needle.size())) {
        ++count;
    }
    return count;
}

std::string BacklinkTarget(std::string_view key, long first) {
    return "/search?p=" + std::string(key) + "&bwm=i&bwmf=s&b=" + std::to_string(first);
}

// The result addresses of a backlink page, in order.
std::vector<std::string> ResultUrls(const std::string& page) {
    static constexpr std::string_view kMarker = "a class=\"yschttl\" href=\"";
    std::vector<std::string> urls;
    for (auto at = page.find(kMarker); at != std::string::npos; at = page.find(kMarker, at + 1)) {
        const auto start = at + kMarker.size();
        urls.push_back(page.substr(start, page.find('"', start) - start));
    }
    return urls;
}

std::vector<std::string> AllResultUrls(const DemoPages& pages, std::string_view key) {
    std::vector<std::string> all;
    for (long first = 1;; first += 50) {
        const auto page =
            ResultUrls(pages.Answer(kDemoSiteExplorerHost, BacklinkTarget(key, first)).body);
        all.insert(all.end(), page.begin(), page.end());
        if (page.size() < 50) {
            return all;
        }
    }
}

// Splits "http://host/path" (or "https://...") for Answer().
std::pair<std::string, std::string> HostAndTarget(const std::string& url) {
    const auto start = url.find("//") + 2;
    const auto slash = url.find('/', start);
    return {url.substr(start, slash - start), slash == std::string::npos ? "/" : url.substr(slash)};
}

TEST(DemoPagesTest, BacklinkPagesHoldFiftyResultsAndTheArrowOnlyWhenMoreFollow) {
    for (const int size : {49, 50, 51, 100, 173}) {
        const DemoPages pages(size);
        int seen = 0;
        for (long first = 1; first <= size + 50; first += 50) {
            const std::string page =
                pages.Answer(kDemoSiteExplorerHost, BacklinkTarget(kSite, first)).body;
            const std::size_t results = Count(page, "a class=\"yschttl\"");
            EXPECT_EQ(results, static_cast<std::size_t>(std::min(50, std::max(0, size - seen))))
                << size << " from " << first;
            seen += static_cast<int>(results);
            const auto lastResult = page.rfind("a class=\"yschttl\"");
            const auto arrow = page.find(kDemoNextMarker);
            const bool more = seen < size;
            EXPECT_EQ(arrow != std::string::npos, more) << size << " from " << first;
            if (more) {
                EXPECT_GT(arrow, lastResult);
            }
        }
        EXPECT_EQ(seen, size);
    }
}

TEST(DemoPagesTest, TheSameRequestsGiveTheSameBytes) {
    const DemoPages first(0);
    const DemoPages second(0);
    const std::vector<std::pair<std::string, std::string>> requests = {
        {std::string(kDemoSiteExplorerHost), BacklinkTarget(kSite, 51)},
        {std::string(kDemoGoogleHost), "/search?q=visit%20veltrap-demo.example&start=10"},
        {std::string(kDemoYahooHost), "/search?p=veltrap-demo.example&b=1"},
        {std::string(kDemoMsnHost), "/results.aspx?q=click%20here&first=1"},
        {std::string(kDemoPageRankHost), "/?http://www.example.example/a.html"},
        {"veltrap-demo.example", "/"},
        {"www.veltrap-demo.example", "/links.html"},
    };
    for (const auto& [host, target] : requests) {
        EXPECT_EQ(first.Answer(host, target).body, second.Answer(host, target).body) << target;
    }
    const auto urls = AllResultUrls(first, kSite);
    for (std::size_t i = 0; i < urls.size(); i += 7) {
        const auto [host, target] = HostAndTarget(urls[i]);
        const DemoAnswer answer = first.Answer(host, target);
        EXPECT_EQ(answer.body, second.Answer(host, target).body) << urls[i];
    }
}

TEST(DemoPagesTest, TheSiteAsTypedOnlyChangesItsOwnPagesAmongTheResults) {
    const DemoPages pages(120);
    const auto lower = AllResultUrls(pages, kSite);
    const auto mixed = AllResultUrls(pages, "Veltrap-Demo.Example");
    ASSERT_EQ(lower.size(), 120u);
    ASSERT_EQ(mixed.size(), lower.size());
    int ownPages = 0;
    for (std::size_t i = 0; i < lower.size(); ++i) {
        if (mixed[i].find("Veltrap-Demo.Example") != std::string::npos) {
            ++ownPages;
            EXPECT_EQ(LowerAscii(mixed[i]), lower[i]);
        } else {
            EXPECT_EQ(mixed[i], lower[i]);
        }
    }
    EXPECT_GT(ownPages, 0);
}

TEST(DemoPagesTest, EveryResultIsServedAndUrlsRepeatOnlyForDuplicates) {
    const DemoPages pages(150);
    const auto urls = AllResultUrls(pages, kSite);
    std::set<std::string> distinct(urls.begin(), urls.end());
    EXPECT_LT(distinct.size(), urls.size());
    std::size_t ownPages = 0;
    std::size_t naming = 0;
    std::set<int> failing;
    for (const std::string& url : distinct) {
        const auto [host, target] = HostAndTarget(url);
        const DemoAnswer answer = pages.Answer(host, target);
        // A few pages that lost their link are gone or failing instead.
        if (answer.status != 200) {
            failing.insert(answer.status);
            EXPECT_EQ(answer.body.find(kSite), std::string::npos) << url;
        }
        EXPECT_EQ(answer.contentType, "text/html");
        ownPages += url.find(kSite) != std::string::npos ? 1 : 0;
        naming += answer.body.find(kSite) != std::string::npos ? 1 : 0;
    }
    EXPECT_EQ(failing, (std::set<int>{403, 404, 410, 500}));
    EXPECT_GT(ownPages, 0u);
    // Most linking pages name the site; a few no longer do.
    EXPECT_GT(naming, distinct.size() / 2);
    EXPECT_LT(naming, distinct.size());
}

TEST(DemoPagesTest, TheStartPageLinksInEveryForm) {
    const DemoPages pages(0);
    const DemoAnswer answer = pages.Answer(kSite, "/");
    ASSERT_EQ(answer.status, 200);
    const std::string& page = answer.body;
    EXPECT_NE(page.find("href=\"http://veltrap-demo.example/"), std::string::npos);
    EXPECT_NE(page.find("href=\"http://www.veltrap-demo.example/"), std::string::npos);
    EXPECT_NE(page.find("href=\"/links.html\""), std::string::npos);
    EXPECT_NE(page.find("href=\"resources.html\""), std::string::npos);
    bool longLink = false;
    for (auto at = page.find("href=\""); at != std::string::npos;
         at = page.find("href=\"", at + 1)) {
        const auto end = page.find('"', at + 6);
        longLink = longLink || end - at - 6 > 94;
    }
    EXPECT_TRUE(longLink);
    EXPECT_GT(Count(page, "href=\"http://"), Count(page, "href=\"http://veltrap-demo.example") +
                                                 Count(page, "href=\"http://www.veltrap-demo"));
    // With or without "www." and "/index.html" it is the same page.
    EXPECT_EQ(pages.Answer("WWW.Veltrap-Demo.Example", "/index.html").body, page);
    EXPECT_EQ(pages.Answer(kSite, "/no-such-page.html").status, 404);
    EXPECT_EQ(pages.Answer("", "/").status, 400);
}

TEST(DemoPagesTest, ImagesAndStyleSheetsAreServedAnywhere) {
    const DemoPages pages(0);
    const DemoAnswer arrow = pages.Answer(kDemoImageHost, "/i/us/search/gr/ar_next.gif");
    EXPECT_EQ(arrow.contentType, "image/gif");
    EXPECT_EQ(arrow.body.substr(0, 6), "GIF89a");
    EXPECT_EQ(pages.Answer("www.any.example", "/img/logo.gif").contentType, "image/gif");
    EXPECT_EQ(pages.Answer("www.any.example", "/style.css").contentType, "text/css");
}

TEST(DemoPagesTest, ResultPagesCarryEachEnginesMarkersTenToAPage) {
    const DemoPages pages(0);
    const std::string query = "veltrap-demo.example";
    struct Engine {
        std::string_view host;
        std::string path;
        std::string pageKey;
        long first;
        std::string_view marker;
        std::string_view next;
    };
    const Engine engines[] = {
        {kDemoGoogleHost, "/search?q=", "&start=", 0, "a class=l", "img src=/nav_next.gif"},
        {kDemoYahooHost, "/search?p=", "&b=", 1, "a class=yschttl", kDemoNextMarker},
        {kDemoMsnHost, "/results.aspx?q=", "&first=", 1, "li class=\"first\"", ">Next</a></li>"},
    };
    for (const Engine& engine : engines) {
        std::size_t seen = 0;
        for (long start = engine.first;; start += 10) {
            const std::string page = pages
                                         .Answer(engine.host, engine.path + query + engine.pageKey +
                                                                  std::to_string(start))
                                         .body;
            const std::size_t results = Count(page, engine.marker);
            seen += results;
            const bool next = page.find(engine.next) != std::string::npos;
            if (!next) {
                EXPECT_LE(results, 10u) << engine.host;
                break;
            }
            EXPECT_EQ(results, 10u) << engine.host << " " << start;
            EXPECT_GT(page.find(engine.next), page.rfind(engine.marker));
            // A search for a site never spells the site out except in results.
            const std::size_t siteResults = Count(page, "href=\"http://www." + query + "/\"") +
                                            Count(page, "href=\"http://" + query + "/\"");
            EXPECT_EQ(Count(page, query), 2 * siteResults) << page;
            ASSERT_LT(start, 1000);
        }
        EXPECT_GE(seen, 8u) << engine.host;
    }
    const std::string yahoo = pages.Answer(kDemoYahooHost, "/search?p=" + query + "&b=1").body;
    EXPECT_LT(yahoo.find("Web Results"), yahoo.find("a class=yschttl"));
    const std::string msn =
        pages.Answer(kDemoMsnHost, "/results.aspx?q=" + query + "&first=1").body;
    EXPECT_LT(msn.find("div id=\"results\""), msn.find("li class=\"first\""));
}

// Where the site's start page appears for a query on one engine: 0 when not
// within the pages offered, otherwise its 1-based place.
std::size_t SitePlace(const DemoPages& pages, const std::string& query) {
    std::size_t place = 0;
    for (long start = 0; start < 200; start += 10) {
        const std::string page =
            pages.Answer(kDemoGoogleHost, "/search?q=" + query + "&start=" + std::to_string(start))
                .body;
        std::size_t index = 0;
        for (auto at = page.find("a class=l href=\""); at != std::string::npos;
             at = page.find("a class=l href=\"", at + 1)) {
            ++index;
            const std::string url = page.substr(at + 16, page.find('"', at + 16) - at - 16);
            if (url == "http://www.veltrap-demo.example/" ||
                url == "http://veltrap-demo.example/") {
                return static_cast<std::size_t>(start) + index;
            }
        }
        if (page.find("nav_next.gif") == std::string::npos) {
            break;
        }
    }
    return place;
}

TEST(DemoPagesTest, TheSiteRanksOnTheFirstPageALaterPageOrNotAtAll) {
    const DemoPages pages(0);
    int first = 0;
    int later = 0;
    int absent = 0;
    for (const char* form :
         {"visit%20", "www.", "more%20tea%20blends%20on%20", "", "http://www.", "pottery%20at%20",
          "sourdough%20at%20", "beekeeping%20at%20", "chess%20openings%20at%20",
          "tea%20blends%20at%20", "jazz%20records%20at%20", "orchid%20care%20at%20"}) {
        const std::size_t place = SitePlace(pages, std::string(form) + kSite);
        (place == 0 ? absent : place <= 10 ? first : later) += 1;
    }
    EXPECT_GT(first, 0);
    EXPECT_GT(later, 0);
    EXPECT_GT(absent, 0);
    // A query that names no site never finds it.
    EXPECT_EQ(SitePlace(pages, "click%20here"), 0u);
}

TEST(DemoPagesTest, QueriesArriveDecodedAndKeepTheirAmpersands) {
    const DemoPages pages(0);
    // Blanks and 8-bit bytes arrive percent-encoded; "&amp;" arrives as it is.
    const std::string encoded =
        pages
            .Answer(kDemoGoogleHost,
                    "/search?q=caf%E9%20culture%20at%20veltrap-demo.example&start=0")
            .body;
    EXPECT_NE(encoded.find("caf&#233; culture"), std::string::npos);
    const std::string withEntity =
        pages
            .Answer(kDemoGoogleHost,
                    "/search?q=tea%20&amp;%20cake%20at%20veltrap-demo.example&start=10")
            .body;
    const std::string plain =
        pages.Answer(kDemoGoogleHost, "/search?q=tea%20cake%20at%20veltrap-demo.example&start=10")
            .body;
    EXPECT_NE(withEntity.find("tea &#38;amp&#59; cake"), std::string::npos);
    const auto results = [](const std::string& page) {
        return page.substr(page.find("<div id=res>"),
                           page.find("</ol>") - page.find("<div id=res>"));
    };
    EXPECT_EQ(results(withEntity), results(plain));
}

TEST(DemoPagesTest, PageRanksAreMostlyNumbersFromZeroToTen) {
    const DemoPages pages(0);
    int numbers = 0;
    int notNumbers = 0;
    int unreadable = 0;
    std::set<int> values;
    for (int i = 0; i < 300; ++i) {
        const std::string url =
            "http://www.page" + std::to_string(i) + ".example" + (i % 2 == 0 ? "" : "/a%20b.html");
        const std::string answer = pages.Answer(kDemoPageRankHost, "/?" + url).body;
        EXPECT_EQ(answer, pages.Answer(kDemoPageRankHost, "/?" + url).body);
        const auto sentence = answer.find("Your pagerank is:");
        const auto font =
            sentence == std::string::npos ? sentence : answer.find("font color", sentence);
        if (font == std::string::npos) {
            ++unreadable;
            continue;
        }
        const auto start = answer.find('>', font) + 1;
        const std::string value = answer.substr(start, answer.find('<', start) - start);
        if (value.empty() || value[0] < '0' || value[0] > '9') {
            ++notNumbers;
            continue;
        }
        ++numbers;
        values.insert(std::stoi(value));
    }
    EXPECT_GT(numbers, 240);
    EXPECT_GT(notNumbers, 0);
    EXPECT_GT(unreadable, 0);
    EXPECT_GE(*values.begin(), 0);
    EXPECT_LE(*values.rbegin(), 10);
    EXPECT_GT(values.size(), 8u);
}

}  // namespace
}  // namespace veltrap
