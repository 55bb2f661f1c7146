#include "scrape/SiteLink.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <string>

namespace veltrap {
namespace {

using namespace std::string_literals;

std::string Pad(std::size_t n) {
    return std::string(n, 'z');
}

std::string Link(const std::string& target, const std::string& content) {
    return "<a href=\"" + target + "\">" + content + "</a>";
}

TEST(SiteLinkTest, TakesTheFirstLinkToTheSite) {
    const auto link = ReadSiteLink(Pad(40) + Link("http://www.Example.com/Page", "Example Site") +
                                       Pad(5) + Link("http://example.com/other", "Second"),
                                   "example.com");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->href, "http://www.example.com/page");
    EXPECT_EQ(link->anchorText, "example site");
}

TEST(SiteLinkTest, CaseIsIgnoredInPageAndSiteKey) {
    const auto link = ReadSiteLink(
        Pad(40) + "<A HREF=\"HTTP://WWW.EXAMPLE.COM/Page\">Example SITE</A>", "Example.com");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->href, "http://www.example.com/page");
    EXPECT_EQ(link->anchorText, "example site");
}

TEST(SiteLinkTest, OccurrenceAtIndexThirtyOrBeforeEndsTheSearch) {
    // "<a href=\"http://" is 16 characters, so the key starts at pad + 16.
    const auto at31 =
        ReadSiteLink(Pad(15) + Link("http://example.com/", "Site One"), "example.com");
    ASSERT_TRUE(at31);
    EXPECT_EQ(at31->anchorText, "site one");

    const std::string at30 = Pad(14) + Link("http://example.com/", "Site One");
    EXPECT_FALSE(ReadSiteLink(at30, "example.com"));
    EXPECT_FALSE(
        ReadSiteLink(at30 + Pad(40) + Link("http://example.com/", "Later"), "example.com"));
}

TEST(SiteLinkTest, OpeningQuoteMustLieWithinFiftyCharacters) {
    // The quote stands n + 1 characters before the occurrence.
    const auto within =
        ReadSiteLink(Pad(40) + Link(std::string(48, 'q') + "example.com/", "Far"), "example.com");
    ASSERT_TRUE(within);
    EXPECT_EQ(within->href, std::string(48, 'q') + "example.com/");
    EXPECT_FALSE(
        ReadSiteLink(Pad(40) + Link(std::string(49, 'q') + "example.com/", "Far"), "example.com"));
}

TEST(SiteLinkTest, TagStartMustLieWithin350Characters) {
    // With n blanks inside the tag, the "<" stands n + 15 characters before
    // the occurrence.
    const auto tag = [](std::size_t blanks) {
        return Pad(40) + "<a" + std::string(blanks, ' ') + "href=\"http://example.com/\">Near</a>";
    };
    const auto within = ReadSiteLink(tag(334), "example.com");
    ASSERT_TRUE(within);
    EXPECT_EQ(within->anchorText, "near");
    EXPECT_FALSE(ReadSiteLink(tag(335), "example.com"));
}

TEST(SiteLinkTest, AltTextInTheOpeningTagWinsOverAnchorText) {
    const auto alt =
        ReadSiteLink(Pad(40) + "<a href=\"http://example.com/\" alt=\"Alt Words\">Anchor Words</a>",
                     "example.com");
    ASSERT_TRUE(alt);
    EXPECT_EQ(alt->anchorText, "alt words");

    // An image inside the anchor is markup; its alt text is not looked at.
    for (const std::string content :
         {"<img src=\"logo.gif\">", "<img src=\"l.gif\" alt=\"Logo\">"}) {
        const auto image =
            ReadSiteLink(Pad(40) + Link("http://example.com/", content), "example.com");
        ASSERT_TRUE(image) << content;
        EXPECT_EQ(image->anchorText, kNoAnchorText) << content;
    }
}

TEST(SiteLinkTest, OccurrenceOutsideAnHrefIsSkipped) {
    const auto link = ReadSiteLink(
        Pad(40) + "Visit example.com today. " + Link("http://example.com/shop", "Shop Here"),
        "example.com");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->href, "http://example.com/shop");
    EXPECT_EQ(link->anchorText, "shop here");
}

TEST(SiteLinkTest, MalformedLinksEndOrSkip) {
    const std::string key = "example.com";
    // A tag that is neither an anchor nor carries alt text ends the search,
    // even with a proper link after it.
    EXPECT_FALSE(ReadSiteLink(Pad(40) + "<link href=\"http://example.com/style.css\">" +
                                  Link("http://example.com/", "Home"),
                              key));
    // No ">" after the occurrence, and no "</a" after the tag.
    EXPECT_FALSE(ReadSiteLink(Pad(40) + "<a href=\"http://example.com/\"", key));
    EXPECT_FALSE(ReadSiteLink(Pad(40) + "<a href=\"http://example.com/\">Text", key));
    // No closing quote: that occurrence is skipped.
    EXPECT_FALSE(ReadSiteLink(Pad(40) + "<a href=\"http://example.com/ >Text</a>", key));
    // A link target of one character is skipped; two are enough.
    EXPECT_FALSE(ReadSiteLink(Pad(40) + Link("x", "Go!"), "x"));
    const auto two = ReadSiteLink(Pad(40) + Link("xy", "Go!"), "x");
    ASSERT_TRUE(two);
    EXPECT_EQ(two->href, "xy");
    // An empty page, and an empty site key.
    EXPECT_FALSE(ReadSiteLink("", key));
    EXPECT_FALSE(ReadSiteLink(Pad(40) + Link("http://example.com/", "Home"), ""));
}

TEST(SiteLinkTest, NulBytesDoNotHideLaterText) {
    const auto link =
        ReadSiteLink("\0"s + Pad(40) + Link("http://example.com/", "Home\0Page"s), "example.com");
    ASSERT_TRUE(link);
    EXPECT_EQ(link->anchorText, "home\0page"s);
}

// Pages built from the fragments the reader looks at, in random order. The
// digest of what it reads from them was taken from the reader as it was
// before its search for the closing quote became linear, so any change in
// what it finds shows here.
TEST(SiteLinkTest, GeneratedPagesReadAsBefore) {
    const std::string fragments[] = {"href=\"", "href=", "\"",          "<a ",  "<img alt=\"",
                                     ">",       "</a>",  "example.com", "zzzz", " ",
                                     "&nbsp",   "<",     "http://",     "A",    "\n"};
    std::mt19937 random(14);
    std::uint64_t digest = 14695981039346656037u;
    const auto mix = [&digest](const std::string& text) {
        for (const char c : text + '\x1f') {
            digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211u;
        }
    };
    int found = 0;
    for (int round = 0; round < 20000; ++round) {
        std::string page = Pad(random() % 40);
        for (std::uint32_t n = random() % 40; n > 0; --n) {
            page += fragments[random() % std::size(fragments)];
        }
        const auto link = ReadSiteLink(page, "Example.com");
        found += link ? 1 : 0;
        mix(link ? link->href + '\x1e' + link->anchorText : "-");
    }
    EXPECT_GT(found, 500);
    EXPECT_EQ(digest, 17254057959639493053u) << found;
}

TEST(CleanAnchorTextTest, MarkupGoesBeforeTheLengthCheck) {
    EXPECT_EQ(CleanAnchorText("<b>Big</b> <i>deal</i>"), "Big deal");
    EXPECT_EQ(CleanAnchorText("ab"), kNoAnchorText);
    EXPECT_EQ(CleanAnchorText("<b>ab</b>"), kNoAnchorText);
    EXPECT_EQ(CleanAnchorText(""), kNoAnchorText);
    EXPECT_EQ(CleanAnchorText("abc"), "abc");
    // Three characters pass the check even when trimming leaves nothing.
    EXPECT_EQ(CleanAnchorText(". ."), "");
}

TEST(CleanAnchorTextTest, UnclosedMarkupKeepsTheRest) {
    EXPECT_EQ(CleanAnchorText("a <b>bold</b> < tail"), "a bold < tail");
    EXPECT_EQ(CleanAnchorText("price <5 dollars"), "price <5 dollars");
}

TEST(CleanAnchorTextTest, TrimsThenRemovesThenCollapses) {
    EXPECT_EQ(CleanAnchorText("  Example  Site. "), "Example Site");
    EXPECT_EQ(CleanAnchorText("\"Quoted\",;\r\n"), "Quoted");
    // "&nbsp" goes without its semicolon.
    EXPECT_EQ(CleanAnchorText("big&nbsp;deal"), "big;deal");
    EXPECT_EQ(CleanAnchorText("a &nbsp b"), "a b");
    // What a removal brings to an end stays, since trimming came first.
    EXPECT_EQ(CleanAnchorText("widgets.&nbsp"), "widgets.");
    EXPECT_EQ(CleanAnchorText("\t x \t"), " x ");
    EXPECT_EQ(CleanAnchorText("one\ttwo\r\nthree"), "onetwothree");
}

}  // namespace
}  // namespace veltrap
