#include "ChildProcess.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <set>
#include <string>

namespace veltrap {
namespace {

using Json = nlohmann::json;
using testing::ReadFileBytes;
using testing::TempDir;

// One whole run of the real program on the demo web, with Open PageRank and
// SearXNG chosen in place of the lookup page and the HTML result pages.
TEST(DemoProvidersTest, WholeRunWithOpenPageRankAndSearxng) {
    TempDir dir;
    testing::WriteFileBytes(dir.File("providers.ini"),
                            "[authority]\nprovider = openpagerank\n"
                            "[search]\nprovider = searxng\nmsn_engines = bing\n");
    testing::ChildProcess child(
        VELTRAP_REPORT_EXE,
        {"--config", dir.File("providers.ini"), "--demo", "--demo-latency-ms", "0", "--demo-size",
         "80", "--ranking-pages", "3", "--backlink-pages", "10", "--quiet", "--out",
         dir.File("report"), "www.veltrap-demo.example"},
        dir.File("stdout"), dir.File("stderr"));
    ASSERT_EQ(child.Wait(), 0) << ReadFileBytes(dir.File("stderr"));
    const Json report = Json::parse(ReadFileBytes(dir.Path() / "report" / "records.json"));
    EXPECT_EQ(report["backlinkCount"], 80);
    ASSERT_FALSE(report["records"].empty());

    int scored = 0;
    int ranked = 0;
    for (const Json& record : report["records"]) {
        // A score belongs to the domain, so a page and its home page share it.
        EXPECT_EQ(record["pageRank"], record["homePageRank"]) << record["url"];
        EXPECT_LE(record["pageRank"].get<int>(), 10);
        scored += record["pageRank"].get<int>() >= 0 ? 1 : 0;
        for (const char* field : {"googlePageRankPos", "yahooPageRankPos", "msnPageRankPos",
                                  "googleSitePos", "yahooSitePos", "msnSitePos"}) {
            ranked += record[field].get<int>() >= 1 ? 1 : 0;
        }
        // Only a search engine that asked for a CAPTCHA fails, never the key.
        for (const auto& [field, reason] : record["failures"].items()) {
            EXPECT_NE(reason.get<std::string>().find("CAPTCHA"), std::string::npos) << field;
        }
    }
    EXPECT_GT(scored, 0);
    EXPECT_GT(ranked, 0);
}

// The addresses of a demo run's records with the backlinks read from source.
std::set<std::string> RecordUrls(const TempDir& dir, const std::string& source) {
    const std::string config = dir.File(source + ".ini");
    testing::WriteFileBytes(config, "[backlinks]\nsource = " + source + "\n");
    const std::string out = dir.File(source);
    testing::ChildProcess child(
        VELTRAP_REPORT_EXE,
        {"--config", config, "--demo", "--demo-latency-ms", "0", "--demo-size", "120",
         "--ranking-pages", "1", "--quiet", "--out", out, "www.veltrap-demo.example"},
        dir.File(source + ".stdout"), dir.File(source + ".stderr"));
    EXPECT_EQ(child.Wait(), 0) << ReadFileBytes(dir.File(source + ".stderr"));
    const Json report = Json::parse(ReadFileBytes(out + "/records.json"));
    std::set<std::string> urls;
    for (const Json& record : report["records"]) {
        urls.insert(record["url"].get<std::string>());
    }
    return urls;
}

// The demo web plays Bing Webmaster Tools and DataForSEO for every site, with
// no key to give: each finds the linking pages the result pages list, so the
// runs keep the same records.
TEST(DemoProvidersTest, BingAndDataForSeoFindWhatTheResultPagesList) {
    TempDir dir;
    const std::set<std::string> listed = RecordUrls(dir, "siteexplorer");
    ASSERT_FALSE(listed.empty());
    EXPECT_EQ(RecordUrls(dir, "bing-webmaster"), listed);
    EXPECT_EQ(RecordUrls(dir, "dataforseo"), listed);
}

}  // namespace
}  // namespace veltrap
