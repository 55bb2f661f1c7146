#include "base/Utf8Text.h"
#include "engine/RecordField.h"
#include "export/RecordsJson.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

namespace veltrap {
namespace {

using namespace std::string_literals;

TEST(MendUtf8Test, WellFormedTextStaysAsItIs) {
    for (const std::string& text :
         {""s, "plain"s, "caf\xC3\xA9"s, "\xE2\x82\xAC"s, "\xF0\x9F\x98\x80"s, "a\0b"s}) {
        EXPECT_EQ(MendUtf8(text), text);
    }
}

TEST(MendUtf8Test, EachStrayByteBecomesItsOwnCodePoint) {
    EXPECT_EQ(MendUtf8("caf\xE9"), "caf\xC3\xA9");
    EXPECT_EQ(MendUtf8("\xFF"), "\xC3\xBF");
    EXPECT_EQ(MendUtf8("\x80"), "\xC2\x80");
    // An overlong form, a surrogate, a value past U+10FFFF and a cut sequence.
    EXPECT_EQ(MendUtf8("\xC0\xAF"), "\xC3\x80\xC2\xAF");
    EXPECT_EQ(MendUtf8("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");
    EXPECT_EQ(MendUtf8("\xF4\x90\x80\x80"), "\xC3\xB4\xC2\x90\xC2\x80\xC2\x80");
    EXPECT_EQ(MendUtf8("\xE2\x82x"), "\xC3\xA2\xC2\x82x");
    EXPECT_EQ(MendUtf8("\xE2\x82"), "\xC3\xA2\xC2\x82");
}

RunResult Sample() {
    RunResult outcome;
    outcome.siteKey = "mysite.test";
    outcome.backlinkCount = 3;
    outcome.requests = 17;
    outcome.cancelled = true;
    outcome.records.Append("http://a.example/");
    BacklinkRecord& first = *outcome.records.begin();
    first.href = "http://mysite.test/\"quoted\"";
    first.anchorText = "caf\xE9 \0menu"s;
    first.sitePos[RankColumn::kGoogle] = 4;
    first.pageRank = 0;
    first.reciprocal = true;
    first.failures = {{RecordField::kMsnSitePos, "HTTP 503"},
                      {RecordField::kReciprocal, "caf\xE9"}};
    outcome.records.Append("http://b.example/");
    return outcome;
}

TEST(RecordsJsonTest, WritesTheRunAndEveryRecordInOrder) {
    const std::string text = RecordsJson(Sample());
    const auto json = nlohmann::json::parse(text);
    EXPECT_EQ(json["siteKey"], "mysite.test");
    EXPECT_EQ(json["backlinkCount"], 3);
    EXPECT_EQ(json["requests"], 17);
    EXPECT_EQ(json["cancelled"], true);
    ASSERT_EQ(json["records"].size(), 2u);
    const auto& first = json["records"][0];
    EXPECT_EQ(first["url"], "http://a.example/");
    EXPECT_EQ(first["href"], "http://mysite.test/\"quoted\"");
    EXPECT_EQ(first["anchorText"], "caf\xC3\xA9 \0menu"s);
    EXPECT_EQ(first["googleSitePos"], 4);
    EXPECT_EQ(first["msnSitePos"], -1);
    EXPECT_EQ(first["pageRank"], 0);
    EXPECT_EQ(first["reciprocal"], true);
    EXPECT_EQ(first["failures"],
              nlohmann::json({{"msnSitePos", "HTTP 503"}, {"reciprocal", "caf\xC3\xA9"}}));
    EXPECT_EQ(json["records"][1]["url"], "http://b.example/");
    EXPECT_EQ(json["records"][1]["href"], "");
}

TEST(RecordsJsonTest, ARecordNamesEveryFieldOnceInTheDocumentedOrder) {
    const std::string text = RecordsJson(Sample());
    EXPECT_TRUE(
        text.starts_with("{\"siteKey\": \"mysite.test\", \"backlinkCount\": 3, \"requests\": 17, "
                         "\"cancelled\": true,\n \"records\": [\n  {\"url\":"));
    // The second record failed no lookup, so its line names each field only as a key.
    const std::size_t begin = text.find("\n  {", text.find("\n  {") + 1);
    const std::string line = text.substr(begin, text.find('\n', begin + 1) - begin);
    const std::vector<std::string> keys = {"url",
                                           "href",
                                           "anchorText",
                                           "googlePageRankPos",
                                           "msnPageRankPos",
                                           "yahooPageRankPos",
                                           "googleSitePos",
                                           "msnSitePos",
                                           "yahooSitePos",
                                           "pageRank",
                                           "homePageRank",
                                           "reciprocal",
                                           "failures",
                                           "httpStatus",
                                           "finalUrl",
                                           "rel",
                                           "robots",
                                           "canonical",
                                           "linkStatus",
                                           "rendered",
                                           "disavowed"};
    EXPECT_EQ(nlohmann::json::parse(line.substr(line.find('{'))).size(), keys.size());
    std::size_t last = 0;
    for (const std::string& key : keys) {
        const std::string quoted = '"' + key + "\":";
        const std::size_t at = line.find(quoted);
        ASSERT_NE(at, std::string::npos) << key;
        EXPECT_GT(at, last) << key;
        EXPECT_EQ(line.find(quoted, at + 1), std::string::npos) << key;
        last = at;
    }
}

TEST(RecordsJsonTest, EmptyRunIsValidJson) {
    RunResult outcome;
    const auto json = nlohmann::json::parse(RecordsJson(outcome));
    EXPECT_EQ(json["records"], nlohmann::json::array());
    EXPECT_EQ(json["cancelled"], false);
}

}  // namespace
}  // namespace veltrap
