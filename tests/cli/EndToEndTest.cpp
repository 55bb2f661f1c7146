#include "ChildProcess.h"
#include "HandMadeWeb.h"

#include "report/LinkStatusPane.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <random>
#include <thread>

namespace veltrap {
namespace {

using testing::ChildProcess;
using testing::HandMadeWeb;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

using Json = nlohmann::json;

constexpr auto kPatience = std::chrono::seconds(20);

Json Record(const std::string& url, const std::string& href, const std::string& anchorText,
            std::vector<int> ranks, bool reciprocal, Json failures = Json::object()) {
    return Json{{"url", url},
                {"href", href},
                {"anchorText", anchorText},
                {"googlePageRankPos", ranks[0]},
                {"msnPageRankPos", ranks[1]},
                {"yahooPageRankPos", ranks[2]},
                {"googleSitePos", ranks[3]},
                {"msnSitePos", ranks[4]},
                {"yahooSitePos", ranks[5]},
                {"pageRank", ranks[6]},
                {"homePageRank", ranks[7]},
                {"reciprocal", reciprocal},
                {"failures", std::move(failures)},
                {"httpStatus", 200},
                {"finalUrl", url},
                {"rel", ""},
                {"robots", ""},
                {"canonical", ""},
                {"linkStatus", "follow"},
                {"rendered", false},
                {"disavowed", false}};
}

Json Untouched(const std::string& url) {
    Json record = Record(url, "", "", {-1, -1, -1, -1, -1, -1, -1, -1}, false);
    record["httpStatus"] = 0;
    record["finalUrl"] = "";
    record["linkStatus"] = "";
    return record;
}

// What the hand-made web gives for each linking page that links to the site.
// It has no PageRank answer for c.example, which is a failed lookup, not a
// PageRank of nothing.
const Json kA = Record("http://a.example/links.html", "http://mysite.test/products.html", "my site",
                       {13, 14, 13, 3, 4, 3, 5, 7}, true);
const Json kB = Record("http://b.example/page.html", "http://www.mysite.test/about.html",
                       "best widgets", {1, 2, 1, -1, -1, -1, 4, 6}, true);
const Json kC = Record("http://c.example/blog/post.html", "http://mysite.test/contact.html",
                       "contact page", {-1, -1, -1, -1, -1, -1, -1, -1}, true,
                       {{"pageRank", "HTTP 404"}, {"homePageRank", "HTTP 404"}});
const Json kE = Record("http://e.example/", "http://mysite.test/", "cheap gadgets",
                       {-1, -1, -1, 26, 27, 26, 0, 2}, false);

class EndToEndTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFileBytes(dir.File("services.ini"), HandMadeWeb::ConfigText()); }

    std::vector<std::string> Arguments(std::vector<std::string> extra) const {
        std::vector<std::string> arguments = {"--config",         dir.File("services.ini"),
                                              "--connect-to",     web.Address(),
                                              "--backlink-pages", "3",
                                              "--ranking-pages",  "3"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return arguments;
    }
    std::unique_ptr<ChildProcess> Start(std::vector<std::string> extra) {
        return std::make_unique<ChildProcess>(VELTRAP_REPORT_EXE, Arguments(std::move(extra)),
                                              dir.File("stdout"), dir.File("stderr"));
    }
    int Run(std::vector<std::string> extra) { return Start(std::move(extra))->Wait(); }
    std::string Out() const { return ReadFileBytes(dir.File("stdout")); }
    std::string Err() const { return ReadFileBytes(dir.File("stderr")); }
    Json Records() const {
        return Json::parse(ReadFileBytes(dir.Path() / "report" / "records.json"));
    }
    bool WaitForErr(const std::string& text) const {
        const auto deadline = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < deadline) {
            if (Err().find(text) != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    HandMadeWeb web;
    TempDir dir;
};

TEST_F(EndToEndTest, WholeRunFillsEveryKeptRecord) {
    ASSERT_EQ(Run({"--out", dir.File("report"), "http://www.mysite.test"}), 0) << Err();
    const Json report = Records();
    EXPECT_EQ(report["siteKey"], "mysite.test");
    EXPECT_EQ(report["backlinkCount"], 52);
    EXPECT_EQ(report["cancelled"], false);
    // The duplicate stays; the site's own pages, the page that only mentions
    // the site and the missing page are gone.
    EXPECT_EQ(report["records"], Json::array({kA, kB, kC, kE, kA}));
    // Every removed record is listed, in list order, with why it went.
    Json unlinked = Json::array();
    for (int n = 1; n <= 45; ++n) {
        unlinked.push_back({{"url", "http://mysite.test/own-" + std::to_string(n)},
                            {"linkStatus", "own-site"},
                            {"httpStatus", 0},
                            {"rendered", false},
                            {"disavowed", false}});
    }
    unlinked.push_back({{"url", "http://d.example/nolink.html"},
                        {"linkStatus", "not-found"},
                        {"httpStatus", 200},
                        {"rendered", false},
                        {"disavowed", false}});
    unlinked.push_back({{"url", "http://g.example/gone.html"},
                        {"linkStatus", "gone"},
                        {"httpStatus", 404},
                        {"rendered", false},
                        {"disavowed", false}});
    EXPECT_EQ(report["unlinked"], unlinked);
    const std::string links = ReadFileBytes(dir.Path() / "report" / "links.csv");
    EXPECT_THAT(links, ::testing::StartsWith("Linking Page,Status,HTTP,Rel,Link Type\n"
                                             "http://a.example/links.html,Follow,200,,Reciprocal\n"
                                             "http://mysite.test/own-1,Own site,,,\n"));
    EXPECT_THAT(links, ::testing::EndsWith("http://e.example/,Follow,200,,One Way\n"
                                           "http://a.example/links.html,Follow,200,,Reciprocal\n"
                                           "http://g.example/gone.html,Page gone,404,,\n"));
    // Every request sent reached the web, and the cache kept repeats away.
    EXPECT_EQ(report["requests"], web.Asked().size());
    EXPECT_FALSE(web.WasAsked("mysite.test/own-1"));
    EXPECT_FALSE(web.WasAsked("explorer.test/search?p=mysite.test&bwm=i&bwmf=s&b=101"));
    EXPECT_TRUE(web.WasAsked("g.example/gone.html"));
    EXPECT_EQ(Out(), "");

    const std::string err = Err();
    // Records are examined side by side, so only the lines, not their order
    // across records, are fixed.
    EXPECT_THAT(err, HasSubstr("Indexing Backlinks...\nExamining "));
    EXPECT_THAT(err, HasSubstr("Examining http://a.example/links.html...\n"));
    EXPECT_THAT(err, HasSubstr("Gathering ranking data for keyphrase: my site...\n"));
    EXPECT_THAT(err, Not(HasSubstr("\r")));
}

// Limits not given on the command line are the ones the window saved: here
// no backlink page at all, so nothing is asked of the web.
TEST_F(EndToEndTest, MissingLimitsComeFromTheSavedSettings) {
    std::filesystem::create_directories(dir.Path() / "config");
    WriteFileBytes(dir.Path() / "config" / "Quorvex.ini", "[General]\nLinkDomain=0\n");
    const char* previous = std::getenv("XDG_CONFIG_HOME");
    const std::string kept = previous != nullptr ? previous : "";
    setenv("XDG_CONFIG_HOME", dir.File("config").c_str(), 1);
    ChildProcess child(VELTRAP_REPORT_EXE,
                       {"--config", dir.File("services.ini"), "--connect-to", web.Address(),
                        "--quiet", "--out", dir.File("report"), "mysite.test"},
                       dir.File("stdout"), dir.File("stderr"));
    if (previous != nullptr) {
        setenv("XDG_CONFIG_HOME", kept.c_str(), 1);
    } else {
        unsetenv("XDG_CONFIG_HOME");
    }
    ASSERT_EQ(child.Wait(), 0) << Err();
    EXPECT_EQ(Records()["backlinkCount"], 0);
    EXPECT_EQ(Records()["requests"], 0);
    EXPECT_TRUE(web.Asked().empty());
}

TEST_F(EndToEndTest, SummaryWithoutOutFolder) {
    ASSERT_EQ(Run({"--quiet", "mysite.test"}), 0) << Err();
    EXPECT_EQ(Err(), "");
    const std::string out = Out();
    EXPECT_THAT(out, HasSubstr("Backlinks found: 52\n"));
    EXPECT_THAT(out, HasSubstr("Linking pages kept: 5\n"));
    EXPECT_THAT(out, HasSubstr("Keyphrases: 4\n"));
    EXPECT_THAT(out, HasSubstr("Pages linked to: 4\n"));
    EXPECT_THAT(out, HasSubstr("Reciprocal links: 4\n"));
    EXPECT_THAT(out, HasSubstr("Requests sent: " + std::to_string(web.Asked().size()) + "\n"));
    EXPECT_THAT(out, HasSubstr("Failed lookups: pagerank-page 2 (HTTP 404)\n"));
}

// The HTML report's header counts what records.json holds, and --html
// writes the same page as the folder's copy.
TEST_F(EndToEndTest, HtmlReportCountsWhatRecordsHold) {
    ASSERT_EQ(Run({"--quiet", "--out", dir.File("report"), "--html", dir.File("alone.html"),
                   "mysite.test"}),
              0)
        << Err();
    const Json report = Records();
    const std::string html = ReadFileBytes(dir.Path() / "report" / "report.html");
    EXPECT_EQ(ReadFileBytes(dir.File("alone.html")), html);
    const auto fact = [&](const std::string& name, std::size_t value) {
        EXPECT_THAT(html, HasSubstr("<dt>" + name + "</dt><dd>" + std::to_string(value))) << name;
    };
    fact("Backlinks found", report["backlinkCount"].get<std::size_t>());
    fact("Kept", report["records"].size());
    fact("Removed", report["unlinked"].size());
    std::map<std::string, std::size_t> removed;
    for (const Json& record : report["unlinked"]) {
        ++removed[std::string(LinkStatusWords(record["linkStatus"].get<std::string>()))];
    }
    EXPECT_EQ(removed.size(), 3u);
    for (const auto& [words, count] : removed) {
        fact("Removed: " + words, count);
    }
    std::size_t failures = 0;
    for (const Json& record : report["records"]) {
        failures += record["failures"].size();
    }
    fact("Failed lookups: pagerank-page", failures);
    EXPECT_THAT(html, HasSubstr("<dd>Completed</dd>"));
}

// One job at a time, so which records are done, in flight and not started
// when the signal comes is known.
TEST_F(EndToEndTest, CtrlCWritesWhatWasGathered) {
    web.Hold("c.example/blog/post.html");
    auto child = Start({"--jobs", "1", "--out", dir.File("report"), "mysite.test"});
    ASSERT_TRUE(web.WaitUntilHeld(kPatience));
    child->Signal(SIGINT);
    ASSERT_TRUE(WaitForErr("Report aborted by user..\n"));
    web.Release();
    ASSERT_EQ(child->Wait(), 130) << Err();

    const Json report = Records();
    EXPECT_EQ(report["cancelled"], true);
    EXPECT_THAT(ReadFileBytes(dir.Path() / "report" / "report.html"),
                HasSubstr("<dd>Cancelled</dd>"));
    // The page in flight got its link; nothing after it was examined.
    const Json cInFlight =
        Record("http://c.example/blog/post.html", "http://mysite.test/contact.html", "contact page",
               {-1, -1, -1, -1, -1, -1, -1, -1}, false);
    EXPECT_EQ(report["records"],
              Json::array({kA, kB, cInFlight, Untouched("http://d.example/nolink.html"),
                           Untouched("http://e.example/"), Untouched("http://a.example/links.html"),
                           Untouched("http://g.example/gone.html")}));
}

TEST_F(EndToEndTest, SecondCtrlCEndsTheFetchInFlight) {
    web.Hold("c.example/blog/post.html");
    auto child = Start({"--jobs", "1", "--out", dir.File("report"), "mysite.test"});
    ASSERT_TRUE(web.WaitUntilHeld(kPatience));
    child->Signal(SIGINT);
    ASSERT_TRUE(WaitForErr("Report aborted by user..\n"));
    child->Signal(SIGINT);
    const auto code = child->WaitFor(kPatience);
    web.Release();
    ASSERT_EQ(code, 130) << Err();
    // The cut fetch says nothing about the page, so its record stays.
    const Json records = Records()["records"];
    ASSERT_EQ(records.size(), 7u);
    EXPECT_EQ(records[2], Untouched("http://c.example/blog/post.html"));
}

// An import that waits on a pipe is stopped by Ctrl-C as a run is. The test
// knows the program reads the pipe once a writer can open it without
// blocking, and then holds it open without writing.
TEST_F(EndToEndTest, CtrlCStopsAnImportWaitingOnAPipe) {
    const std::string fifo = dir.File("links.fifo");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    auto child = Start({"--import", fifo, "--out", dir.File("report"), "mysite.test"});
    int writer = -1;
    const auto giveUp = std::chrono::steady_clock::now() + kPatience;
    while ((writer = open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) < 0 &&
           std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_GE(writer, 0) << "the program never opened the pipe";
    child->Signal(SIGINT);
    const auto code = child->WaitFor(kPatience);
    close(writer);
    ASSERT_EQ(code, 130) << Err();
    EXPECT_THAT(Err(), HasSubstr("the import was stopped while " + fifo + " was read"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "report" / "records.json"));
}

// Being told to end by the system or by a closed terminal stops the run as
// Ctrl-C does, and the exit code tells which signal came.
class SignalEndToEndTest : public EndToEndTest,
                           public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(SignalEndToEndTest, WritesWhatWasGathered) {
    const auto [stop, code] = GetParam();
    web.Hold("c.example/blog/post.html");
    auto child = Start({"--jobs", "1", "--out", dir.File("report"), "mysite.test"});
    ASSERT_TRUE(web.WaitUntilHeld(kPatience));
    child->Signal(stop);
    ASSERT_TRUE(WaitForErr("Report aborted by user..\n"));
    web.Release();
    ASSERT_EQ(child->Wait(), code) << Err();
    EXPECT_EQ(Records()["cancelled"], true);
    EXPECT_EQ(Records()["records"].size(), 7u);
}

INSTANTIATE_TEST_SUITE_P(TermAndHangUp, SignalEndToEndTest,
                         ::testing::Values(std::pair{SIGTERM, 143}, std::pair{SIGHUP, 129}));

// A run killed at any moment, the writing of the report folder included,
// leaves each output whole: as the run before wrote it, or as this one
// would. The moments fall mostly near the end of a run, where the files are
// written, since a kill earlier only shows that nothing was touched.
TEST_F(EndToEndTest, AKillAtAnyMomentLeavesEveryOutputWhole) {
    const auto started = std::chrono::steady_clock::now();
    ASSERT_EQ(Run({"--quiet", "--no-history", "--out", dir.File("report"), "mysite.test"}), 0)
        << Err();
    const auto took = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - started);
    const char* const names[] = {"records.json", "overview.csv", "keyphrases.csv",
                                 "pages.csv",    "links.csv",    "report.html"};
    // The report page names the minute it was made; nothing else differs.
    const auto Whole = [&](const std::string& name) {
        std::string bytes = ReadFileBytes(dir.Path() / "report" / name);
        const auto made = bytes.find("<dt>Made</dt>");
        if (made != std::string::npos) {
            bytes.erase(made, bytes.find('\n', made) - made);
        }
        return bytes;
    };
    std::map<std::string, std::string> before;
    for (const char* name : names) {
        before[name] = Whole(name);
    }
    std::mt19937 random(std::random_device{}());
    std::uniform_real_distribution<double> moment(0.5, 1.2);
    for (int attempt = 0; attempt < 15; ++attempt) {
        auto child = Start({"--quiet", "--no-history", "--out", dir.File("report"), "mysite.test"});
        std::this_thread::sleep_for(
            std::chrono::microseconds(static_cast<std::int64_t>(took.count() * moment(random))));
        const auto killedAt = std::chrono::steady_clock::now();
        child->Signal(SIGKILL);
        child->Wait();
        std::fprintf(stderr, "took %lld us, kill waited %lld ms\n", (long long)took.count(),
                     (long long)std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::steady_clock::now() - killedAt)
                         .count());
        for (const char* name : names) {
            EXPECT_EQ(Whole(name), before[name]) << name << " after kill " << attempt;
        }
    }
}

TEST_F(EndToEndTest, SummaryOnAFullDiskFailsTheRun) {
    ChildProcess child(VELTRAP_REPORT_EXE,
                       {"--config", dir.File("services.ini"), "--connect-to", web.Address(),
                        "--backlink-pages", "0", "--quiet", "mysite.test"},
                       "/dev/full", dir.File("stderr"));
    EXPECT_EQ(child.Wait(), 1);
    EXPECT_EQ(Err(), "veltrap-report: cannot write the summary: No space left on device\n");
}

// A backlink source that cannot be reached is a failed run, not a site
// without backlinks.
TEST_F(EndToEndTest, AnUnreachableBacklinkSourceFailsTheRun) {
    const std::vector<std::string> arguments = {
        "--config", dir.File("services.ini"), "--connect-to", "127.0.0.1:1",
        "--out",    dir.File("report"),       "mysite.test"};
    ChildProcess child(VELTRAP_REPORT_EXE, arguments, dir.File("stdout"), dir.File("stderr"));
    ASSERT_EQ(child.Wait(), 1) << Err();
    EXPECT_THAT(Err(), HasSubstr("Backlink source siteexplorer failed on page 1: no answer ("));
    // A first run that found nothing at all tells where to go from there.
    EXPECT_THAT(Err(), HasSubstr(". Next: choose a backlink source ([backlinks] source in the "
                                 "configuration"));
    EXPECT_THAT(Err(), HasSubstr("(--import FILE); --demo SITE shows"));
    EXPECT_EQ(Records()["backlinkCount"], 0);
}

TEST_F(EndToEndTest, ImportedBacklinksTakeThePlaceOfTheSource) {
    WriteFileBytes(dir.File("links.txt"),
                   "http://a.example/links.html\nhttp://mysite.test/own-1\n"
                   "http://b.example/page.html\nhttp://a.example/links.html\n");
    ASSERT_EQ(Run({"--quiet", "--import", dir.File("links.txt"), "--out", dir.File("report"),
                   "mysite.test"}),
              0)
        << Err();
    EXPECT_EQ(Err(),
              "Imported 3 addresses from 1 file: 4 rows read, 1 skipped (1 already imported)\n");
    const Json report = Records();
    EXPECT_EQ(report["backlinkCount"], 3);
    EXPECT_EQ(report["records"], Json::array({kA, kB}));
    EXPECT_EQ(report["unlinked"][0]["linkStatus"], "own-site");
    for (const std::string& asked : web.Asked()) {
        EXPECT_THAT(asked, Not(HasSubstr("explorer.test"))) << asked;
    }
}

TEST_F(EndToEndTest, ImportsThatCannotBeReadAreRefusedBeforeAnyRequest) {
    WriteFileBytes(dir.File("good.txt"), "http://a.example/links.html\n");
    WriteFileBytes(dir.File("sites.csv"), "Site,Linking pages\nexample.com,2\n");
    WriteFileBytes(dir.File("image.gif"), std::string("GIF89a\1\0\1\0\0\0", 12));
    const std::vector<std::pair<std::string, int>> refusals = {
        {dir.File("missing.txt"), 1}, {dir.File("sites.csv"), 2}, {dir.File("image.gif"), 2}};
    for (const auto& [file, code] : refusals) {
        EXPECT_EQ(Run({"--import", dir.File("good.txt"), "--import", file, "mysite.test"}), code)
            << file;
        EXPECT_THAT(Err(), HasSubstr(file));
    }
    EXPECT_TRUE(web.Asked().empty());
}

TEST_F(EndToEndTest, FailuresBeforeTheRunSendNothing) {
    WriteFileBytes(dir.File("file"), "x");
    EXPECT_EQ(Run({"--out", dir.File("file") + "/report", "mysite.test"}), 1);
    EXPECT_THAT(Err(), HasSubstr(dir.File("file") + "/report: Not a directory"));
    std::filesystem::create_directories(dir.Path() / "report" / "links.csv");
    EXPECT_EQ(Run({"--out", dir.File("report"), "mysite.test"}), 1);
    EXPECT_THAT(Err(), HasSubstr(dir.File("report") + "/links.csv: Is a directory"));
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "report" / "records.json"));

    WriteFileBytes(dir.File("services.ini"), "[services]\ngoogle_hots = google.test\n");
    EXPECT_EQ(Run({"mysite.test"}), 2);
    EXPECT_THAT(Err(), HasSubstr(dir.File("services.ini") + ":2:"));
    EXPECT_TRUE(web.Asked().empty());
}

}  // namespace
}  // namespace veltrap
