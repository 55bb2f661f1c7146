#include "store/SettingsStore.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace veltrap {
namespace {

using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

TEST(SettingsStoreTest, MissingFileReadsEveryValueAsEmpty) {
    TempDir dir;
    const SettingsStore store(dir.File("none.ini"));
    EXPECT_EQ(store.Read(SettingsStore::kPageList), "");
    EXPECT_EQ(store.Read(SettingsStore::kLinkDomain), "");
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.ini")));
}

TEST(SettingsStoreTest, ValuesOfAnyLengthAndContentRoundTrip) {
    TempDir dir;
    const SettingsStore store(dir.File("state.ini"));
    std::string longList;
    for (int i = 0; longList.size() < 6000; ++i) {
        longList += "site" + std::to_string(i) + ".example,";
    }
    const std::string awkward = "@at;semi\"quote\\back%pct=eq caf\xc3\xa9,";
    ASSERT_TRUE(store.Write(SettingsStore::kPageList, longList));
    ASSERT_TRUE(store.Write(SettingsStore::kLinkDomain, awkward));
    ASSERT_TRUE(store.Write(SettingsStore::kSearchResults, ""));

    const SettingsStore reopened(dir.File("state.ini"));
    EXPECT_EQ(reopened.Read(SettingsStore::kPageList), longList);
    EXPECT_EQ(reopened.Read(SettingsStore::kLinkDomain), awkward);
    EXPECT_EQ(reopened.Read(SettingsStore::kSearchResults), "");
}

TEST(SettingsStoreTest, HandEditedValuesReadBackAsTheirText) {
    TempDir dir;
    WriteFileBytes(dir.File("edited.ini"),
                   "[General]\n"
                   "PageList=a.com,b.com,\n"
                   "LinkDomain=@Rect(1 2 3 4)\n"
                   "SearchResults=@Invalid()\n"
                   "Other=@ByteArray(abc)\n");
    const SettingsStore store(dir.File("edited.ini"));
    EXPECT_EQ(store.Read(SettingsStore::kPageList), "a.com,b.com,");
    // Values that are not text count as absent.
    EXPECT_EQ(store.Read(SettingsStore::kLinkDomain), "");
    EXPECT_EQ(store.Read(SettingsStore::kSearchResults), "");
    EXPECT_EQ(store.Read("Other"), "abc");
}

TEST(SettingsStoreTest, WriteThatCannotReachItsFileFailsQuietly) {
    TempDir dir;
    WriteFileBytes(dir.File("plain"), "not a folder");
    const SettingsStore store(dir.File("plain") + "/state.ini");
    EXPECT_FALSE(store.Write(SettingsStore::kPageList, "a.com,"));
    EXPECT_EQ(store.Read(SettingsStore::kPageList), "");
}

TEST(SettingsStoreTest, UserStoreIsAnIniFileOfTheOrganisation) {
    TempDir dir;
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1), 0);
    const SettingsStore store;
    ASSERT_TRUE(store.Write(SettingsStore::kPageList, "a.com,"));
    EXPECT_EQ(store.Read(SettingsStore::kPageList), "a.com,");
    EXPECT_NE(ReadFileBytes(dir.Path() / "Quorvex.ini").find("PageList="), std::string::npos);
}

}  // namespace
}  // namespace veltrap
