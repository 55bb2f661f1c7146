#include "store/SavedState.h"

#include "base/LeadingInteger.h"
#include "store/SiteList.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <thread>
#include <vector>

namespace veltrap {
namespace {

using testing::TempDir;
using testing::WriteFileBytes;
using Entries = std::vector<std::string>;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

TEST(LeadingNumberTest, TakesTheDigitsTheTextStartsWith) {
    EXPECT_EQ(LeadingInteger32(""), 0);
    EXPECT_EQ(LeadingInteger32("abc"), 0);
    EXPECT_EQ(LeadingInteger32("x12"), 0);
    EXPECT_EQ(LeadingInteger32("25pages"), 25);
    EXPECT_EQ(LeadingInteger32(" \t42"), 42);
    EXPECT_EQ(LeadingInteger32("-7"), -7);
    EXPECT_EQ(LeadingInteger32("+3"), 3);
    EXPECT_EQ(LeadingInteger32("-"), 0);
    EXPECT_EQ(LeadingInteger32(std::string("4\0"
                                           "5",
                                           3)),
              4);
}

TEST(LeadingNumberTest, SaturatesAtThe32BitLimits) {
    EXPECT_EQ(LeadingInteger32("2147483646"), kMax - 1);
    EXPECT_EQ(LeadingInteger32("2147483647"), kMax);
    EXPECT_EQ(LeadingInteger32("2147483648"), kMax);
    EXPECT_EQ(LeadingInteger32("99999999999999999999999999"), kMax);
    EXPECT_EQ(LeadingInteger32("-2147483648"), kMin);
    EXPECT_EQ(LeadingInteger32("-2147483649"), kMin);
    EXPECT_EQ(LeadingInteger32("-99999999999999999999999999"), kMin);
}

TEST(SiteListTest, EntriesAreThePiecesBeforeEachComma) {
    EXPECT_EQ(SiteListEntries(""), Entries{});
    EXPECT_EQ(SiteListEntries("a.com"), Entries{});
    EXPECT_EQ(SiteListEntries("a.com,"), Entries{"a.com"});
    EXPECT_EQ(SiteListEntries("a.com,,b.com,tail"), (Entries{"a.com", "b.com"}));
    EXPECT_EQ(SiteListEntries(",a.com,"), Entries{"a.com"});
}

TEST(SiteListTest, OnlyWholeEntriesMatch) {
    EXPECT_TRUE(SiteListHasEntry("example.com,b.com,", "example.com"));
    EXPECT_TRUE(SiteListHasEntry("example.com,b.com,", "b.com"));
    EXPECT_FALSE(SiteListHasEntry("example.com,", "ample.com"));
    EXPECT_FALSE(SiteListHasEntry("example.com,", "example.co"));
    EXPECT_FALSE(SiteListHasEntry("example.com,", "example.com,"));
    EXPECT_FALSE(SiteListHasEntry("", ""));
}

TEST(SiteListTest, AppendingKeepsTheStoredForm) {
    EXPECT_EQ(SiteListWithEntry("", "a.com"), "a.com,");
    EXPECT_EQ(SiteListWithEntry("a.com,", "b.com"), "a.com,b.com,");
    EXPECT_EQ(SiteListWithEntry("a.com,b.com", "c.com"), "a.com,b.com,c.com,");
}

class SavedStateTest : public ::testing::Test {
protected:
    SettingsStore Store() const { return SettingsStore(path_); }
    void WriteIni(const std::string& body) const { WriteFileBytes(path_, "[General]\n" + body); }

    TempDir dir_;
    std::string path_ = dir_.File("state.ini");
};

TEST_F(SavedStateTest, NothingSavedGivesDefaults) {
    const SavedState state = SavedState::Load(Store());
    EXPECT_EQ(state.maxBacklinkPages, 10);
    EXPECT_EQ(state.maxRankingPages, 10);
    EXPECT_TRUE(state.sites.empty());
}

TEST_F(SavedStateTest, LimitsUseTheirLeadingNumber) {
    WriteIni("LinkDomain=none\nSearchResults=7 pages\n");
    SavedState state = SavedState::Load(Store());
    EXPECT_EQ(state.maxBacklinkPages, 0);
    EXPECT_EQ(state.maxRankingPages, 7);

    WriteIni("LinkDomain=\nSearchResults=88888888888\n");
    state = SavedState::Load(Store());
    EXPECT_EQ(state.maxBacklinkPages, 10);
    EXPECT_EQ(state.maxRankingPages, kMax);
}

// A rewrite within the same second, to the same size, is still seen: the
// store never keeps an earlier reading.
TEST_F(SavedStateTest, EverySameSizeRewriteIsSeen) {
    for (int round = 0; round < 50; ++round) {
        WriteIni("LinkDomain=" + std::to_string(round % 10) + "\n");
        ASSERT_EQ(SavedState::Load(Store()).maxBacklinkPages, round % 10) << round;
    }
}

TEST_F(SavedStateTest, LimitsRoundTripAsDecimalText) {
    ASSERT_TRUE(SavedState::SaveLimits(Store(), 0, kMax));
    EXPECT_EQ(Store().Read(SettingsStore::kLinkDomain), "0");
    EXPECT_EQ(Store().Read(SettingsStore::kSearchResults), "2147483647");
    const SavedState state = SavedState::Load(Store());
    EXPECT_EQ(state.maxBacklinkPages, 0);
    EXPECT_EQ(state.maxRankingPages, kMax);
}

TEST_F(SavedStateTest, LongSiteListSurvivesARestart) {
    std::string list;
    Entries sites;
    for (int i = 0; list.size() < 5000; ++i) {
        sites.push_back("www-site-" + std::to_string(i) + ".example");
        list += sites.back() + ",";
    }
    WriteIni("PageList=" + list + "\n");
    EXPECT_EQ(SavedState::Load(Store()).sites, sites);

    ASSERT_TRUE(SavedState::RememberSite(Store(), "new.example"));
    sites.push_back("new.example");
    EXPECT_EQ(SavedState::Load(Store()).sites, sites);
}

TEST_F(SavedStateTest, SiteIsRememberedOnce) {
    EXPECT_TRUE(SavedState::RememberSite(Store(), "example.com"));
    EXPECT_FALSE(SavedState::RememberSite(Store(), "example.com"));
    EXPECT_TRUE(SavedState::RememberSite(Store(), "ample.com"));
    EXPECT_TRUE(SavedState::RememberSite(Store(), "example.co"));
    EXPECT_EQ(Store().Read(SettingsStore::kPageList), "example.com,ample.com,example.co,");
}

// Two windows may save at once; each saving reads the file and writes it
// back, so without a lock around both one window's site would be lost.
TEST_F(SavedStateTest, SitesSavedAtOnceByManyWritersAreAllKept) {
    std::vector<std::thread> writers;
    for (int writer = 0; writer < 8; ++writer) {
        writers.emplace_back([this, writer] {
            for (int n = 0; n < 25; ++n) {
                SavedState::RememberSite(
                    Store(), "w" + std::to_string(writer) + "-" + std::to_string(n) + ".example");
                SavedState::SaveWindowSize(Store(), writer, n);
            }
        });
    }
    for (std::thread& writer : writers) {
        writer.join();
    }
    EXPECT_EQ(SavedState::Load(Store()).sites.size(), 200u);
}

TEST_F(SavedStateTest, SitesThatCannotBeEntriesAreNotSaved) {
    EXPECT_FALSE(SavedState::RememberSite(Store(), ""));
    EXPECT_FALSE(SavedState::RememberSite(Store(), "a.com,b.com"));
    EXPECT_EQ(Store().Read(SettingsStore::kPageList), "");
}

}  // namespace
}  // namespace veltrap
