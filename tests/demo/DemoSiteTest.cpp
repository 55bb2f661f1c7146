#include "demoworld/DemoSite.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace veltrap {
namespace {

constexpr const char* kSite = "veltrap-demo.example";

TEST(DemoSiteTest, TheSameIdentityGivesTheSameSite) {
    const DemoSite first(kSite, 0);
    const DemoSite second(kSite, 0);
    ASSERT_EQ(first.Backlinks().size(), second.Backlinks().size());
    for (std::size_t i = 0; i < first.Backlinks().size(); ++i) {
        EXPECT_EQ(first.Backlinks()[i].url, second.Backlinks()[i].url);
        EXPECT_EQ(first.Backlinks()[i].kind, second.Backlinks()[i].kind);
        EXPECT_EQ(first.Backlinks()[i].anchorPhrase, second.Backlinks()[i].anchorPhrase);
    }
    EXPECT_NE(DemoSite("other-site.example", 0).Backlinks()[0].url, first.Backlinks()[0].url);
}

TEST(DemoSiteTest, SizesVaryBySiteUnlessSet) {
    std::set<int> sizes;
    for (const char* name : {"a.example", "b.example", "c.example", "d.example", "e.example",
                             "veltrap-demo.example", "localhost", "x"}) {
        const int size = DemoSite::NaturalSize(name);
        EXPECT_GE(size, 36) << name;
        EXPECT_LE(size, 300) << name;
        EXPECT_EQ(DemoSite(name, 0).Backlinks().size(), static_cast<std::size_t>(size));
        sizes.insert(size);
    }
    EXPECT_GT(sizes.size(), 4u);
    EXPECT_EQ(DemoSite(kSite, 1).Backlinks().size(), 1u);
    EXPECT_EQ(DemoSite(kSite, 777).Backlinks().size(), 777u);
}

TEST(DemoSiteTest, EveryKindOccursOnceTheOpeningBlockIsFull) {
    for (const int size : {24, 25, 60, 400}) {
        std::set<DemoLinkKind> kinds;
        const DemoSite site(kSite, size);
        for (const auto& link : site.Backlinks()) {
            kinds.insert(link.kind);
        }
        EXPECT_EQ(kinds.size(), 12u) << size;
    }
}

TEST(DemoSiteTest, LinkingAddressesNeverNameTheSiteAndDecodeBack) {
    const DemoSite site(kSite, 120);
    std::set<std::string> hosts;
    int frontPages = 0;
    for (std::size_t i = 0; i < site.Backlinks().size(); ++i) {
        const DemoBacklink& link = site.Backlinks()[i];
        if (link.kind == DemoLinkKind::kOwnPage) {
            EXPECT_TRUE(DemoSite::FindPage(link.url) != nullptr) << link.url;
            continue;
        }
        EXPECT_EQ(link.url.find(kSite), std::string::npos) << link.url;
        // Front pages carry their name in the query, every other page in its path.
        const auto slash = link.url.find('/', 7);
        const auto mark = link.url.find('?', 7);
        const bool frontPage = slash == std::string::npos;
        if (frontPage) {
            ++frontPages;
        }
        ASSERT_NE(frontPage ? mark : slash, std::string::npos) << link.url;
        hosts.insert(link.url.substr(7, (frontPage ? mark : slash) - 7));
        const auto address = frontPage ? DemoSite::ParseFrontPageQuery(link.url.substr(mark + 1))
                                       : DemoSite::ParseLinkingPath(link.url.substr(slash));
        ASSERT_TRUE(address) << link.url;
        EXPECT_EQ(address->identity, kSite);
        EXPECT_EQ(address->index, link.page);
    }
    EXPECT_GT(hosts.size(), 40u);
    EXPECT_GT(frontPages, 0);
}

TEST(DemoSiteTest, DuplicatesRepeatAnEarlierLinkingPage) {
    const DemoSite site(kSite, 300);
    int duplicates = 0;
    for (std::size_t i = 0; i < site.Backlinks().size(); ++i) {
        const DemoBacklink& link = site.Backlinks()[i];
        if (link.kind != DemoLinkKind::kDuplicate) {
            continue;
        }
        ++duplicates;
        ASSERT_LT(link.page, i);
        EXPECT_EQ(site.Backlinks()[link.page].url, link.url);
        EXPECT_NE(site.Backlinks()[link.page].kind, DemoLinkKind::kOwnPage);
    }
    EXPECT_GT(duplicates, 0);
    // With nothing before it to repeat, a duplicate becomes a text link.
    EXPECT_NE(DemoSite(kSite, 1).Backlinks()[0].kind, DemoLinkKind::kDuplicate);
}

TEST(DemoSiteTest, ParseLinkingPathRefusesOtherPaths) {
    EXPECT_FALSE(DemoSite::ParseLinkingPath("/"));
    EXPECT_FALSE(DemoSite::ParseLinkingPath("/products.html"));
    EXPECT_FALSE(DemoSite::ParseLinkingPath("/links/-61.html"));
    EXPECT_FALSE(DemoSite::ParseLinkingPath("/links/7-.html"));
    EXPECT_FALSE(DemoSite::ParseLinkingPath("/links/7-6.html"));
    EXPECT_FALSE(DemoSite::ParseLinkingPath("/links/x7-61.html"));
    EXPECT_FALSE(DemoSite::ParseLinkingPath("/links/7-61.htm"));
    const auto address = DemoSite::ParseLinkingPath(DemoSite::LinkingPath("a/b", 42, "\xe9 x"));
    ASSERT_TRUE(address);
    EXPECT_EQ(address->identity, "\xe9 x");
    EXPECT_EQ(address->index, 42u);
}

TEST(DemoSiteTest, EveryLinkBackPlaceOccursAndIsListedWhereItSays) {
    const DemoSite site(kSite, 36);
    std::set<DemoLinkBack> places;
    for (std::size_t k = 0; k < site.Hosts().size(); ++k) {
        const DemoLinkingHost& host = site.Hosts()[k];
        places.insert(host.linkBack);
        auto listedOn = [&](std::string_view path) {
            const auto listed = site.HostsListedOn(path);
            return std::find(listed.begin(), listed.end(), k) != listed.end();
        };
        switch (host.linkBack) {
            case DemoLinkBack::kStartPage:
                EXPECT_TRUE(listedOn("/")) << host.name;
                break;
            case DemoLinkBack::kFollowedPage:
            case DemoLinkBack::kUnfollowedPage:
                EXPECT_TRUE(listedOn(host.listedOn)) << host.name;
                EXPECT_FALSE(listedOn("/")) << host.name;
                break;
            case DemoLinkBack::kNone:
                for (const auto& page : DemoSite::Pages()) {
                    EXPECT_FALSE(listedOn(page.path)) << host.name << " on " << page.path;
                }
                break;
            case DemoLinkBack::kLinkedPage:
                break;
        }
    }
    EXPECT_EQ(places.size(), 5u);
}

TEST(DemoSiteTest, TheArchiveLinkIsTooLongToFollow) {
    int tooLong = 0;
    for (const auto& page : DemoSite::Pages()) {
        if (page.reach == DemoSitePage::Reach::kTooLong) {
            ++tooLong;
            EXPECT_GT(page.path.size(), 94u);
        } else {
            EXPECT_LE(page.path.size(), 94u);
        }
    }
    EXPECT_EQ(tooLong, 1);
    EXPECT_EQ(DemoSite::FindPage("/index.html"), DemoSite::FindPage("/"));
    EXPECT_EQ(DemoSite::FindPage("/nothing.html"), nullptr);
}

}  // namespace
}  // namespace veltrap
