#include "scrape/LinkStatus.h"

#include "net/CurlGlobal.h"
#include "net/PageFetch.h"
#include "scrape/SiteLink.h"
#include "support/LoopbackServer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace veltrap {
namespace {

const CurlGlobal curlGlobal;

constexpr const char* kHref = "http://site.test/";

PageAnswer Page(const std::string& head, const std::string& body, long status = 200,
                std::vector<std::pair<std::string, std::string>> headers = {}) {
    PageAnswer page;
    page.answered = true;
    page.status = status;
    page.finalUrl = "http://linker.test/page.html";
    page.headers = std::move(headers);
    page.body = "<html><head>" + head + "</head><body>" + body + "</body></html>";
    return page;
}

PageAnswer WithLink(const std::string& rel, long status = 200, const std::string& head = "") {
    return Page(
        head,
        "<a href=\"http://site.test/\"" + (rel.empty() ? "" : " rel=\"" + rel + "\"") + ">site</a>",
        status);
}

TEST(LinkFactsTest, RelIsTheFirstMatchingLinksLowerCasedAndSingleSpaced) {
    const LinkFacts facts =
        ReadLinkFacts(Page("",
                           "<a href=\"http://other.test/\" rel=\"sponsored\">o</a>"
                           "<a href=\"HTTP://Site.test/\" rel=\" NoFollow \t UGC \">s</a>"
                           "<a href=\"http://site.test/\" rel=\"sponsored\">again</a>"),
                      kHref);
    EXPECT_EQ(facts.rel, "nofollow ugc");
    EXPECT_EQ(facts.linkStatus, "ugc");
    EXPECT_EQ(ReadLinkFacts(Page("",
                                 "<map><area href=\"http://site.test/\" rel=\"sponsored\">"
                                 "</map><a href=\"http://site.test/\">s</a>"),
                            kHref)
                  .rel,
              "sponsored");
    // The target as the page writes it, entities and all, is the link's too.
    EXPECT_EQ(
        ReadLinkFacts(Page("", "<a href=\"http://site.test/?a=1&amp;b=2\" rel=nofollow>s</a>"),
                      "http://site.test/?a=1&amp;b=2")
            .rel,
        "nofollow");
    EXPECT_EQ(ReadLinkFacts(Page("", "<a href=\"http://site.test/\">s</a>"), kHref).rel, "");
}

TEST(LinkFactsTest, RobotsComeFromMetaTagsAndTheHeader) {
    const auto robots = [](const std::string& head,
                           std::vector<std::pair<std::string, std::string>> headers = {}) {
        return ReadLinkFacts(Page(head, "", 200, std::move(headers)), kHref).robots;
    };
    EXPECT_EQ(robots("<meta name=\"ROBOTS\" content=\"NOINDEX\">"), "noindex");
    EXPECT_EQ(robots("<meta name=\"googlebot\" content=\"noarchive, nofollow\">"), "nofollow");
    EXPECT_EQ(robots("<meta name=\"robots\" content=\"none\">"), "noindex nofollow");
    EXPECT_EQ(robots("<meta name=\"robots\" content=\"nofollow\">"
                     "<meta name=\"googlebot\" content=\"noindex\">"),
              "noindex nofollow");
    EXPECT_EQ(robots("<meta name=\"description\" content=\"noindex\">"), "");
    EXPECT_EQ(robots("<meta name=\"robots\" content=\"index, follow\">"), "");
    EXPECT_EQ(robots("", {{"x-robots-tag", "noarchive, NOFOLLOW"}}), "nofollow");
    EXPECT_EQ(robots("", {{"X-Robots-Tag", "googlebot: noindex"}}), "noindex");
    // Directives for another crawler do not count; a directive's own value is no crawler.
    EXPECT_EQ(robots("", {{"X-Robots-Tag", "otherbot: noindex, nofollow"}}), "");
    EXPECT_EQ(
        robots("", {{"X-Robots-Tag", "unavailable_after: 25 Jun 2010 15:00:00 PST, noindex"}}),
        "noindex");
    EXPECT_EQ(robots("", {{"X-Robots-Tag", "noindex"}, {"X-Robots-Tag", "nofollow"}}),
              "noindex nofollow");
}

TEST(LinkFactsTest, CanonicalIsMadeAbsoluteAndKeptOnlyForAnotherPage) {
    const auto canonical = [](const std::string& target) {
        return ReadLinkFacts(Page("<link rel=\"Canonical\" href=\"" + target + "\">", ""), kHref)
            .canonical;
    };
    EXPECT_EQ(canonical("/other.html"), "http://linker.test/other.html");
    EXPECT_EQ(canonical("https://linker.test/page.html"), "https://linker.test/page.html");
    EXPECT_EQ(canonical("HTTP://LINKER.test:80/page.html#top"), "");
    EXPECT_EQ(canonical("page.html"), "");
    EXPECT_EQ(ReadLinkFacts(Page("", ""), kHref).canonical, "");
}

TEST(LinkFactsTest, TheFirstRuleThatHoldsGivesTheStatus) {
    const std::string noindex = "<meta name=\"robots\" content=\"noindex\">";
    const std::string nofollow = "<meta name=\"robots\" content=\"nofollow\">";
    const std::vector<std::pair<PageAnswer, std::string>> cases = {
        {WithLink("sponsored", 404, noindex), "gone"},
        {WithLink("", 410), "gone"},
        {WithLink("sponsored", 500, noindex), "error"},
        {WithLink("", 403), "error"},
        {WithLink("sponsored", 200, noindex), "noindex"},
        {WithLink("nofollow ugc sponsored"), "sponsored"},
        {WithLink("nofollow ugc"), "ugc"},
        {WithLink("external nofollow", 200, nofollow), "nofollow"},
        {WithLink("", 200, nofollow), "nofollow"},
        {WithLink("noopener", 301), "follow"},
    };
    for (const auto& [page, status] : cases) {
        const LinkFacts facts = ReadLinkFacts(page, kHref);
        EXPECT_EQ(facts.linkStatus, status) << page.body;
        EXPECT_EQ(facts.httpStatus, page.status);
    }
}

TEST(UnlinkedStatusTest, SaysWhyThePageHadNoLink) {
    PageAnswer page;
    EXPECT_EQ(UnlinkedStatus(page), "unreachable");
    page.answered = true;
    for (const auto& [status, expected] :
         std::vector<std::pair<long, std::string>>{{200, "not-found"},
                                                   {404, "gone"},
                                                   {410, "gone"},
                                                   {500, "error"},
                                                   {429, "blocked"},
                                                   {401, "blocked"},
                                                   {403, "blocked"},
                                                   {407, "blocked"},
                                                   {451, "blocked"}}) {
        page.status = status;
        EXPECT_EQ(UnlinkedStatus(page), expected) << status;
    }
    // An answer that ended before its end is cut short, whatever it began with.
    for (const long status : {200L, 404L, 403L}) {
        PageAnswer stalled = page;
        stalled.status = status;
        stalled.transportError = "Timeout was reached";
        EXPECT_EQ(UnlinkedStatus(stalled), "cut-short") << status;
        PageAnswer capped = page;
        capped.status = status;
        capped.cut = true;
        EXPECT_EQ(UnlinkedStatus(capped), "cut-short") << status;
    }
    page.status = 302;
    page.tooManyRedirects = true;
    page.transportError = "Number of redirects hit maximum amount";
    EXPECT_EQ(UnlinkedStatus(page), "error");
}

// The answer as the real retriever brings it: the final address after a
// redirect, the final status and the headers the server sent.
TEST(LinkFactsTest, RedirectsErrorsAndHeadersAsAServerSendsThem) {
    const std::string padding(40, ' ');
    const std::string link = padding + "<a href=\"http://site.test/\" rel=\"UGC\">Site</a>";
    // After what its handlers use, so that it stops first.
    testing::LoopbackServer server;
    server.Server().Get("/old", [](const httplib::Request&, httplib::Response& response) {
        response.set_redirect("/new", 301);
    });
    server.Server().Get("/new", [&](const httplib::Request&, httplib::Response& response) {
        response.set_header("X-Robots-Tag", "nofollow");
        response.set_content(link, "text/html");
    });
    server.Server().Get("/gone", [&](const httplib::Request&, httplib::Response& response) {
        response.status = 410;
        response.set_content(link, "text/html");
    });
    server.Server().Get("/broken", [&](const httplib::Request&, httplib::Response& response) {
        response.status = 503;
        response.set_content(padding + "Down for maintenance", "text/html");
    });
    server.Start();
    HttpOptions options;
    options.connectTo = server.Address();
    HttpSession session(options);
    const PageFetch fetch = SessionFetch(session);

    SiteLinkLookup moved = FindSiteLink(fetch, "http://linker.test/old", "site.test");
    ASSERT_TRUE(moved.link);
    LinkFacts facts = ReadLinkFacts(moved.page, moved.link->href);
    EXPECT_EQ(facts.httpStatus, 200);
    EXPECT_EQ(facts.finalUrl, "http://linker.test/new");
    EXPECT_EQ(facts.rel, "ugc");
    EXPECT_EQ(facts.robots, "nofollow");
    EXPECT_EQ(facts.linkStatus, "ugc");

    SiteLinkLookup gone = FindSiteLink(fetch, "http://linker.test/gone", "site.test");
    ASSERT_TRUE(gone.link);
    facts = ReadLinkFacts(gone.page, gone.link->href);
    EXPECT_EQ(facts.httpStatus, 410);
    EXPECT_EQ(facts.linkStatus, "gone");

    SiteLinkLookup broken = FindSiteLink(fetch, "http://linker.test/broken", "site.test");
    EXPECT_FALSE(broken.link);
    EXPECT_EQ(broken.page.status, 503);
    EXPECT_EQ(UnlinkedStatus(broken.page), "error");
}

// The one-pass reading of start tags must give what the whole parsed tree
// gives, on pages made of pieces chosen to trip a tokenizer: comments of
// every shape, text elements holding tags, quotes and ">" inside values,
// character references, repeated attributes, tables, and the elements for
// which the tree is read instead.
TEST(LinkFactsTest, GeneratedPagesReadAsTheParsedTreeReadsThem) {
    const std::string pieces[] = {"<a href=\"http://site.test/\" rel=\"nofollow\">",
                                  "<A HREF='HTTP://SITE.TEST/' rel=ugc>",
                                  "<a href=http://site.test/ rel=\"sponsored x\">",
                                  "<a href=\"http://site.test/&amp;\">",
                                  "<area href=\"&#104;ttp://site.test/\" rel=ugc>",
                                  "<a rel=a href=\"http://site.test/\" rel=b>",
                                  "<a href=\"http://site.test/\" href=x rel=\"UGC\tNoFollow\">",
                                  "<a href=\"other\">",
                                  "<meta name=robots content=\"noindex\">",
                                  "<meta name=\" GoogleBot \" content=\"none\">",
                                  "<meta content=nofollow,x name=robots>",
                                  "<meta name=robots content=\"&#110;oindex\">",
                                  "<link rel=canonical href=\"/c1\">",
                                  "<link rel=\"x Canonical\" href=' /c2 '>",
                                  "<link href=/c3 rel=canonical>",
                                  "<!--",
                                  "-->",
                                  "--!>",
                                  "<!-->",
                                  "<!--->",
                                  "<!doctype html>",
                                  "<!x>",
                                  "<?x>",
                                  "</a>",
                                  "</p foo=\">\">",
                                  "</>",
                                  "<title>",
                                  "</title>",
                                  "<textarea>",
                                  "</textarea >",
                                  "<script>",
                                  "</script>",
                                  "<style>",
                                  "</style/>",
                                  "<xmp>",
                                  "</xmp>",
                                  "<noscript>",
                                  "</noscript>",
                                  "<template>",
                                  "</template>",
                                  "<table>",
                                  "<td>",
                                  "</table>",
                                  "<p>",
                                  "<div>",
                                  "</div>",
                                  "<b>",
                                  "</b>",
                                  "<plaintext>",
                                  "<svg>",
                                  "<select>",
                                  "<math>",
                                  "<",
                                  ">",
                                  "\"",
                                  "'",
                                  "=",
                                  "/",
                                  " ",
                                  "\n",
                                  "\r",
                                  "text",
                                  "&amp;",
                                  "\xc3\xa9",
                                  "\xff",
                                  std::string(1, '\0'),
                                  "<frameset>",
                                  "<html>",
                                  "<body>",
                                  "</body>",
                                  "<head>"};
    std::mt19937 random(14);
    int fast = 0;
    for (int round = 0; round < 4000; ++round) {
        std::string body;
        for (std::uint32_t n = 1 + random() % 30; n > 0; --n) {
            body += pieces[random() % std::size(pieces)];
        }
        PageAnswer page = Page("", "");
        page.body = body;
        const LinkFacts tags = ReadLinkFacts(page, kHref);
        const LinkFacts tree = ReadLinkFactsFromTree(page, kHref);
        ASSERT_EQ(tags.rel, tree.rel) << body;
        ASSERT_EQ(tags.robots, tree.robots) << body;
        ASSERT_EQ(tags.canonical, tree.canonical) << body;
        fast += body.find("<svg") == std::string::npos &&
                        body.find("<select") == std::string::npos &&
                        body.find("<math") == std::string::npos &&
                        body.find("<frameset") == std::string::npos
                    ? 1
                    : 0;
    }
    EXPECT_GT(fast, 1000);
}

// Inside svg a style element holds markup, so only the tree finds this
// link; it is read from the tree as long as the tree costs what a page
// people write costs. Past that (here 300,000 unclosed elements, for which
// the tree builder would take many minutes) the tags are read instead, and
// closed or void elements never count towards it.
TEST(LinkFactsTest, TheTreeIsReadUnlessItsBuildingWouldBeQuadratic) {
    const std::string foreign = "<svg><style><a href=\"http://site.test/\" rel=ugc></style></svg>";
    const std::string link = "<a href=\"http://site.test/\" rel=nofollow>";
    std::string closed;
    for (int n = 0; n < 100000; ++n) {
        closed += "<div><p>x</div><img><br>";
    }
    EXPECT_EQ(ReadLinkFacts(Page("", foreign + closed), kHref).rel, "ugc");
    std::string open;
    for (int n = 0; n < 300000; ++n) {
        open += "<div>";
    }
    EXPECT_EQ(ReadLinkFacts(Page("", foreign + link + open), kHref).rel, "nofollow");
}

// Gumbo turns control characters into U+FFFD and passes over a NUL after a
// quoted value; the tags must be read alike. A tag of 300,000 attributes
// (days of gumbo's comparing each with those before it) is read at once,
// with or without an svg sending the page to the tree.
TEST(LinkFactsTest, OddTagsReadAsTheTreeReadsThemAndManyAttributesCostNothing) {
    for (const std::string& body : {std::string("<a href=\"http://site.test/\" rel=\"a\x06b\">"),
                                    std::string("<a href=\"http://site.test/\"\0rel=ugc>", 36),
                                    std::string("<a href=\"http://site.test/\" rel=\"a\x7f\">")}) {
        const PageAnswer page = Page("", body);
        EXPECT_EQ(ReadLinkFacts(page, kHref).rel, ReadLinkFactsFromTree(page, kHref).rel) << body;
    }
    std::string attributes;
    for (int n = 0; n < 300000; ++n) {
        attributes += " x" + std::to_string(n);
    }
    const std::string link = "<a href=\"http&#58;//site.test/\"" + attributes + " rel=ugc>";
    EXPECT_EQ(ReadLinkFacts(Page("", link), kHref).rel, "ugc");
    EXPECT_EQ(ReadLinkFacts(Page("", "<svg></svg>" + link), kHref).rel, "ugc");
}

}  // namespace
}  // namespace veltrap
