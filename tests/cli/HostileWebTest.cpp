#include "ChildProcess.h"
#include "HostileWeb.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <chrono>
#include <string>
#include <vector>

namespace veltrap {
namespace {

using testing::ChildProcess;
using testing::HostileWeb;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

using Json = nlohmann::json;

// Small bounds keep the run short.
constexpr int kConnectTimeoutS = 2;
constexpr int kStallTimeoutS = 2;
constexpr int kFetchTimeoutS = 3;
constexpr long kMostPeakKib = 400 * 1024;
// A sanitizer's shadow memory and quarantine dwarf what the program itself
// holds, so only a plain build measures its memory.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kMeasuresOwnMemory = false;
#else
constexpr bool kMeasuresOwnMemory = true;
#endif

const std::vector<std::string> kGood = {"http://good1.test/links.html",
                                        "http://good2.test/post.html", "http://good3.test/"};

// Each hostile page with what the run reports for it: no answer at all, an
// error, or a page that answered without the link. An answer that has begun
// keeps what was read when the time limit or the body cap ends it.
const std::vector<std::pair<std::string, Json>> kHostile = {
    {"http://stall.test/", {{"linkStatus", "unreachable"}, {"httpStatus", 0}}},
    {"http://drip.test/", {{"linkStatus", "cut-short"}, {"httpStatus", 200}}},
    {"http://endless.test/", {{"linkStatus", "cut-short"}, {"httpStatus", 200}}},
    {"http://loop.test/", {{"linkStatus", "error"}, {"httpStatus", 302}}},
    {"http://bighead.test/", {{"linkStatus", "unreachable"}, {"httpStatus", 0}}},
    {"http://garbage.test/", {{"linkStatus", "unreachable"}, {"httpStatus", 0}}},
    {"http://reset.test/", {{"linkStatus", "unreachable"}, {"httpStatus", 0}}},
    {"http://slowhead.test/", {{"linkStatus", "unreachable"}, {"httpStatus", 0}}},
    {"https://badtls.test/", {{"linkStatus", "unreachable"}, {"httpStatus", 0}}},
    {"http://quotes.test/", {{"linkStatus", "not-found"}, {"httpStatus", 200}}},
    {"http://angles.test/", {{"linkStatus", "not-found"}, {"httpStatus", 200}}},
};

std::string Page(const std::string& body) {
    return "<html><head><title>A page</title></head><body>" + body + "</body></html>";
}

class HostileWebTest : public ::testing::Test {
protected:
    void SetUp() override {
        web.SetPage("good1.test/links.html",
                    Page("<a href=\"http://mysite.test/\">Good One</a> and friends"));
        web.SetPage("good2.test/post.html",
                    Page("<a rel=\"nofollow\" href=\"http://www.mysite.test/about.html\">"
                         "Widgets</a>"));
        web.SetPage("good3.test/", Page("<A HREF=\"http://mysite.test/contact.html\">Write</A>"));
        web.SetPage("mysite.test/", Page("Our friends: good1.test"));
        WriteFileBytes(dir.File("services.ini"),
                       "[services]\n"
                       "site_explorer_host = explorer.test\n"
                       "google_host = google.test\n"
                       "yahoo_host = yahoo.test\n"
                       "msn_host = msn.test\n"
                       "[http]\n"
                       "connect_timeout_s = " +
                           std::to_string(kConnectTimeoutS) +
                           "\nstall_timeout_s = " + std::to_string(kStallTimeoutS) +
                           "\nfetch_timeout_s = " + std::to_string(kFetchTimeoutS) + "\n");
    }

    struct Outcome {
        int exitCode;
        std::chrono::steady_clock::duration took;
        long peakKib;
        Json report;
    };

    // One whole run at the default jobs over these linking pages.
    Outcome Run(const std::string& name, const std::vector<std::string>& pages) {
        std::string list;
        for (const auto& page : pages) {
            list += page + "\n";
        }
        WriteFileBytes(dir.File(name + ".txt"), list);
        const auto started = std::chrono::steady_clock::now();
        ChildProcess child(VELTRAP_REPORT_EXE,
                           {"--config", dir.File("services.ini"), "--connect-to", web.Address(),
                            "--ranking-pages", "1", "--quiet", "--import", dir.File(name + ".txt"),
                            "--out", dir.File(name), "http://mysite.test"},
                           dir.File(name + ".out"), dir.File(name + ".err"));
        const int code = child.Wait();
        Outcome outcome{code, std::chrono::steady_clock::now() - started, child.PeakResidentKib(),
                        Json()};
        if (code == 0) {
            outcome.report = Json::parse(ReadFileBytes(dir.Path() / name / "records.json"));
        }
        return outcome;
    }

    HostileWeb web{"mysite.test"};
    TempDir dir;
};

TEST_F(HostileWebTest, HostilePagesFailAloneWithinTheBounds) {
    const Outcome calm = Run("calm", kGood);
    ASSERT_EQ(calm.exitCode, 0) << ReadFileBytes(dir.File("calm.err"));
    ASSERT_EQ(calm.report["records"].size(), kGood.size());

    std::vector<std::string> all;
    Json unlinked = Json::array();
    for (std::size_t n = 0; n < kHostile.size(); ++n) {
        // The good pages are spread among the hostile ones.
        if (n % 4 == 0 && n / 4 < kGood.size()) {
            all.push_back(kGood[n / 4]);
        }
        all.push_back(kHostile[n].first);
        Json expected = kHostile[n].second;
        expected["url"] = kHostile[n].first;
        expected["rendered"] = false;
        expected["disavowed"] = false;
        unlinked.push_back(expected);
    }
    const Outcome stormy = Run("stormy", all);
    ASSERT_EQ(stormy.exitCode, 0) << ReadFileBytes(dir.File("stormy.err"));

    // Every hostile page ends within its bounds or the run would never end;
    // how long it took is recorded, not judged, as a busy machine may be slow.
    if (kMeasuresOwnMemory) {
        EXPECT_LT(stormy.peakKib, kMostPeakKib);
    }
    EXPECT_EQ(stormy.report["records"], calm.report["records"]);
    EXPECT_EQ(stormy.report["unlinked"], unlinked);
    EXPECT_EQ(stormy.report["cancelled"], false);
    RecordProperty("wallMs",
                   static_cast<int>(
                       std::chrono::duration_cast<std::chrono::milliseconds>(stormy.took).count()));
    RecordProperty("peakKib", static_cast<int>(stormy.peakKib));
}

}  // namespace
}  // namespace veltrap
