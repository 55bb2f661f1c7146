#include "engine/BacklinkList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace veltrap {
namespace {

std::vector<std::string> Urls(const BacklinkList& list) {
    std::vector<std::string> urls;
    for (const auto& record : list) {
        urls.push_back(record.url);
    }
    return urls;
}

BacklinkList ListOf(const std::vector<std::string>& urls) {
    BacklinkList list;
    for (const auto& url : urls) {
        list.Append(url);
    }
    return list;
}

TEST(BacklinkListTest, EmptyListHasNothingToWalk) {
    const BacklinkList list;
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.begin(), list.end());
}

TEST(BacklinkListTest, AppendReturnsIndexAndKeepsDuplicates) {
    BacklinkList list;
    EXPECT_EQ(list.Append("http://a.example/"), 0u);
    EXPECT_EQ(list.Append("http://a.example/"), 1u);
    EXPECT_EQ(list.Append(std::string("http://b\0c.example/", 19)), 2u);
    ASSERT_EQ(list.size(), 3u);
    EXPECT_EQ(Urls(list)[2].size(), 19u);
}

TEST(BacklinkListTest, NewRecordsStartUndetermined) {
    BacklinkList list;
    list.Append("http://a.example/");
    const BacklinkRecord& record = *list.begin();
    EXPECT_EQ(record.href, "");
    EXPECT_EQ(record.anchorText, "");
    for (int value : {record.pagePos[RankColumn::kGoogle], record.pagePos[RankColumn::kMsn],
                      record.pagePos[RankColumn::kYahoo], record.sitePos[RankColumn::kGoogle],
                      record.sitePos[RankColumn::kMsn], record.sitePos[RankColumn::kYahoo],
                      record.pageRank, record.homePageRank}) {
        EXPECT_EQ(value, -1);
    }
    EXPECT_FALSE(record.reciprocal);
}

// Unlinking while walking must hand back the successor, whichever record goes.
TEST(BacklinkListTest, UnlinkDuringWalk) {
    struct Case {
        std::string drop;
        std::vector<std::string> left;
    };
    const std::vector<Case> cases = {
        {"a", {"b", "c"}},  // the head
        {"b", {"a", "c"}},  // a middle record
        {"c", {"a", "b"}},  // the last record
    };
    for (const auto& c : cases) {
        BacklinkList list = ListOf({"a", "b", "c"});
        std::vector<std::string> visited;
        for (auto it = list.begin(); it != list.end();) {
            visited.push_back(it->url);
            it = it->url == c.drop ? list.Unlink(it) : std::next(it);
        }
        EXPECT_EQ(visited, (std::vector<std::string>{"a", "b", "c"})) << c.drop;
        EXPECT_EQ(Urls(list), c.left) << c.drop;
    }
}

TEST(BacklinkListTest, UnlinkEveryRecordLeavesEmptyList) {
    BacklinkList list = ListOf({"a", "a"});
    for (auto it = list.begin(); it != list.end();) {
        it = list.Unlink(it);
    }
    EXPECT_TRUE(list.empty());
    EXPECT_EQ(list.Append("z"), 0u);
}

}  // namespace
}  // namespace veltrap
