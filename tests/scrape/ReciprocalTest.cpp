#include "scrape/Reciprocal.h"

#include "support/FakeWeb.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace veltrap {
namespace {

using ::testing::ElementsAre;
using testing::FakeWeb;

TEST(LinkingDomainTest, DropsSchemesWwwAndPath) {
    EXPECT_EQ(LinkingDomain("http://www.partner.example/a/b.html"), "partner.example");
    EXPECT_EQ(LinkingDomain("https://www.partner.example/a"), "partner.example");
    EXPECT_EQ(LinkingDomain("http://partner.example"), "partner.example");
    EXPECT_EQ(LinkingDomain("partner.example?x=1"), "partner.example?x=1");
    EXPECT_EQ(LinkingDomain("http://"), "");
}

class ReciprocalTest : public ::testing::Test {
protected:
    bool Check(const std::string& siteKey = "site.test",
               const std::string& href = "http://site.test/landing.html") {
        return CheckReciprocal(web.Fetch(), siteKey, href, "http://www.partner.example/links")
            .found();
    }
    FakeWeb web;
};

TEST_F(ReciprocalTest, LinkedPageMentioningTheLinkingSiteIsEnough) {
    web.Serve("http://site.test/landing.html", "see partner.example");
    EXPECT_TRUE(Check());
    EXPECT_THAT(web.Asked(), ElementsAre("http://site.test/landing.html"));
}

TEST_F(ReciprocalTest, StartPageIsReadNext) {
    web.Serve("http://site.test", "friends: partner.example");
    EXPECT_TRUE(Check());
    EXPECT_THAT(web.Asked(), ElementsAre("http://site.test/landing.html", "http://site.test"));
}

TEST_F(ReciprocalTest, StartPageWithoutLinksAnswersAfterTwoFetches) {
    web.Serve("http://site.test", "no links here");
    EXPECT_FALSE(Check());
    EXPECT_EQ(web.Asked().size(), 2u);
}

TEST_F(ReciprocalTest, RelativeLinksJoinTheSiteAddressWithOneSlash) {
    web.Serve("http://site.test/", "<a href=\"/partners.html\">P</a>");
    web.Serve("http://site.test/partners.html", "partner.example");
    EXPECT_TRUE(Check("site.test/"));
    EXPECT_THAT(web.Asked(), ElementsAre("http://site.test/landing.html", "http://site.test/",
                                         "http://site.test/partners.html"));
}

TEST_F(ReciprocalTest, WalkFollowsSiteLinksInOrderAndSkipsOthers) {
    web.Serve("http://site.test",
              "<a href=\"http://other.test/\">o</a>"
              "<a href=\"http://www.site.test/w\">w</a>"
              "<a href=\"news.html\">n</a>"
              "<a href=\"https://site.test/secure\">s</a>"
              "<a href=\"http://site.test/links\">l</a>");
    web.Serve("http://site.test/links", "partner.example");
    EXPECT_TRUE(Check());
    // Another host, a "www." host the site address lacks, and an https link
    // (absolute, so never joined to the site address) are not followed.
    EXPECT_THAT(web.Asked(), ElementsAre("http://site.test/landing.html", "http://site.test",
                                         "http://site.test/news.html", "http://site.test/links"));
}

TEST_F(ReciprocalTest, LinksLongerThan94CharactersAreSkipped) {
    const std::string fits(94 - std::string("http://site.test/").size(), 'f');
    const std::string tooLong = fits + "g";
    web.Serve("http://site.test", "<a href=\"http://site.test/" + tooLong + "\">x</a> " +
                                      "<a href=\"http://site.test/" + fits + "\">x</a>");
    EXPECT_FALSE(Check());
    EXPECT_THAT(web.Asked(), ElementsAre("http://site.test/landing.html", "http://site.test",
                                         "http://site.test/" + fits));
}

TEST_F(ReciprocalTest, UnclosedLinkEndsTheWalk) {
    web.Serve("http://site.test", "<a href=\"/a.html");
    EXPECT_FALSE(Check());
    EXPECT_EQ(web.Asked().size(), 2u);
}

TEST_F(ReciprocalTest, HttpsAddressesAreFetchedAsTheyStand) {
    web.Serve("https://site.test/landing.html", "partner.example");
    EXPECT_TRUE(Check("site.test", "https://site.test/landing.html"));
    EXPECT_THAT(web.Asked(), ElementsAre("https://site.test/landing.html"));
}

TEST_F(ReciprocalTest, HttpsLinkingPageGivesItsHostAsDomain) {
    // Without the https scheme removed, any page showing "https:" would match.
    web.Serve("http://site.test/landing.html", "see https://elsewhere.example");
    EXPECT_FALSE(CheckReciprocal(web.Fetch(), "site.test", "http://site.test/landing.html",
                                 "https://partner.example/links")
                     .found());
    web.Serve("http://site.test/landing.html", "see partner.example");
    EXPECT_TRUE(CheckReciprocal(web.Fetch(), "site.test", "http://site.test/landing.html",
                                "https://partner.example/links")
                    .found());
}

TEST_F(ReciprocalTest, EmptyLinkingDomainMatchesNothing) {
    web.Serve("http://site.test/landing.html", "anything");
    EXPECT_FALSE(
        CheckReciprocal(web.Fetch(), "site.test", "http://site.test/landing.html", "http://www./")
            .found());
    EXPECT_TRUE(web.Asked().empty());
}

// Without the site's start page nothing is known of a link back, which is not
// the same as knowing there is none.
TEST_F(ReciprocalTest, AnUnreachableStartPageFailsTheCheck) {
    web.Serve("http://site.test/landing.html", "nothing here");
    const LookupOutcome down = CheckReciprocal(
        web.Fetch(), "site.test", "http://site.test/landing.html", "http://p.example/");
    EXPECT_TRUE(down.failed());
    EXPECT_EQ(down.reason(), "the site's start page: no answer");
    web.Serve("http://site.test", "<a href=\"/a\">a</a>", 500);
    web.Serve("http://site.test/a", "we like p.example");
    EXPECT_TRUE(CheckReciprocal(web.Fetch(), "site.test", "http://site.test/landing.html",
                                "http://p.example/")
                    .found());
}

// The bound counts distinct pages, the backlink's target and the start page
// among them, so a link repeated on the start page is one page; a walk that
// would need one more fails rather than answering "not found".
TEST_F(ReciprocalTest, SiteWalkStopsAtItsBoundOfDistinctPages) {
    web.Serve("http://site.test", "<a href=\"/a\">a</a><a href=\"/a\">a</a><a href=\"/b\">b</a>");
    const auto walk = [&](std::int64_t bound) {
        return CheckReciprocal(web.Fetch(), "site.test", "http://site.test/landing.html",
                               "http://p.example/", bound);
    };
    const LookupOutcome whole = walk(4);
    EXPECT_FALSE(whole.found() || whole.failed());
    const std::size_t askedBelowBound = web.Asked().size();
    const LookupOutcome stopped = walk(3);
    EXPECT_TRUE(stopped.failed());
    EXPECT_EQ(stopped.reason(), "site walk stopped at max_site_pages (3)");
    EXPECT_EQ(web.Asked().size() - askedBelowBound, 4u);
    web.Serve("http://site.test/a", "we like p.example");
    EXPECT_TRUE(walk(3).found());
    EXPECT_TRUE(walk(1).failed());
}

}  // namespace
}  // namespace veltrap
