#include "ChildProcess.h"
#include "HandMadeWeb.h"

#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>

namespace veltrap {
namespace {

using testing::ChildProcess;
using ::testing::ContainsRegex;
using testing::HandMadeWeb;
using ::testing::HasSubstr;
using ::testing::Not;
using testing::ReadFileBytes;
using testing::TempDir;
using testing::WriteFileBytes;

class RunHistoryTest : public ::testing::Test {
protected:
    void SetUp() override { WriteFileBytes(dir.File("services.ini"), HandMadeWeb::ConfigText()); }

    int Run(std::vector<std::string> extra, bool history = true) {
        std::vector<std::string> arguments = {"--config",         dir.File("services.ini"),
                                              "--connect-to",     web.Address(),
                                              "--backlink-pages", "3",
                                              "--ranking-pages",  "1",
                                              "--quiet"};
        if (history) {
            arguments.insert(arguments.end(), {"--history", dir.File("history.sqlite")});
        }
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return ChildProcess(VELTRAP_REPORT_EXE, arguments, dir.File("stdout"), dir.File("stderr"))
            .Wait();
    }
    std::string Out() const { return ReadFileBytes(dir.File("stdout")); }
    std::string Err() const { return ReadFileBytes(dir.File("stderr")); }

    HandMadeWeb web;
    TempDir dir;
};

TEST_F(RunHistoryTest, TellsWhatChangedSinceTheSitesPreviousRun) {
    const auto changes = dir.Path() / "report" / "changes.csv";
    // Asking an empty history makes no file.
    ASSERT_EQ(Run({"--history-list", "mysite.test"}), 0) << Err();
    EXPECT_THAT(Out(), HasSubstr("No run of mysite.test is stored in"));
    EXPECT_EQ(Run({"--changes", "mysite.test"}), 1);
    EXPECT_THAT(Err(), HasSubstr("holds 0 run(s) of mysite.test"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("history.sqlite")));
    ASSERT_EQ(Run({"--out", dir.File("report"), "mysite.test"}), 0) << Err();
    EXPECT_FALSE(std::filesystem::exists(changes));
    EXPECT_EQ(Run({"--changes", "www.mysite.test"}), 1);
    EXPECT_THAT(Err(), HasSubstr("holds 1 run(s) of mysite.test, and changes need two"));

    // A link removed, a link added, a rel turned nofollow and a page gone.
    web.SetPage("a.example/links.html", "<p>We no longer link to anyone.</p>");
    web.SetPage("d.example/nolink.html", "<a href=\"http://mysite.test/\">My Site</a>");
    web.SetPage("b.example/page.html",
                "<a rel=\"NoFollow\" href=\"http://www.mysite.test/about.html\">Best Widgets</a>");
    web.RemovePage("e.example/");
    ASSERT_EQ(Run({"--out", dir.File("report"), "http://mysite.test"}), 0) << Err();
    EXPECT_EQ(ReadFileBytes(changes),
              "Linking Page,Change,Field,Old,New\n"
              "http://b.example/page.html,Changed,linkStatus,follow,nofollow\n"
              "http://b.example/page.html,Changed,rel,,nofollow\n"
              "http://d.example/nolink.html,New,,,\n"
              "http://a.example/links.html,Lost,linkStatus,follow,not-found\n"
              "http://e.example/,Lost,linkStatus,follow,gone\n");
    // The HTML report charts both runs and lists the same changes.
    const std::string html = ReadFileBytes(dir.Path() / "report" / "report.html");
    EXPECT_THAT(html, HasSubstr("Links gained per run"));
    EXPECT_THAT(html, HasSubstr("<h2>Changes since the previous run</h2>"));
    EXPECT_THAT(html, HasSubstr("<td>Lost</td><td>linkStatus</td><td>follow</td><td>gone</td>"));

    ASSERT_EQ(Run({"--changes", "mysite.test"}), 0) << Err();
    EXPECT_THAT(Out(),
                ContainsRegex("^Changes of mysite.test from run 1 \\([-0-9]+ [0-9:]+ UTC\\) to "
                              "run 2 \\([-0-9]+ [0-9:]+ UTC\\):\n"));
    EXPECT_THAT(Out(),
                HasSubstr("\n"
                          "Changed  http://b.example/page.html  linkStatus: \"follow\" -> "
                          "\"nofollow\"\n"
                          "Changed  http://b.example/page.html  rel: \"\" -> \"nofollow\"\n"
                          "New      http://d.example/nolink.html\n"
                          "Lost     http://a.example/links.html  linkStatus: \"follow\" -> "
                          "\"not-found\"\n"
                          "Lost     http://e.example/  linkStatus: \"follow\" -> \"gone\"\n"));

    ASSERT_EQ(Run({"--history-list", "mysite.test"}), 0) << Err();
    EXPECT_THAT(
        Out(),
        ContainsRegex(
            "^Id +Started +Ended +Outcome +Kept +Removed +List\n"
            "2 +[-0-9]+ [0-9:]+ UTC +[-0-9]+ [0-9:]+ UTC +completed +3 +[0-9]+ +siteexplorer\n"
            "1 +[-0-9]+ [0-9:]+ UTC +[-0-9]+ [0-9:]+ UTC +completed +5 +[0-9]+ +siteexplorer\n$"));

    // Without the history, nothing is stored and no changes.csv of an
    // earlier run is left to pass for this one's.
    ASSERT_EQ(Run({"--no-history", "--out", dir.File("report"), "mysite.test"}, false), 0) << Err();
    EXPECT_FALSE(std::filesystem::exists(changes));
    ASSERT_EQ(Run({"--history-list", "mysite.test"}), 0);
    EXPECT_THAT(Out(), Not(HasSubstr("\n3 ")));

    // A backlink source that fails sees no page, which must not pass for
    // every link lost.
    web.RemovePage("explorer.test/search?p=mysite.test&bwm=i&bwmf=s&b=1");
    EXPECT_EQ(Run({"--out", dir.File("report"), "mysite.test"}), 1);
    EXPECT_THAT(
        Err(),
        HasSubstr(
            "the backlink source failed, so the pages this run did not see cannot be told lost"));
    EXPECT_FALSE(std::filesystem::exists(changes));
    ASSERT_EQ(Run({"--changes", "mysite.test"}), 0) << Err();
    EXPECT_THAT(Out(), HasSubstr("Run 3 could not read its backlink source, so a page it did "
                                 "not see may not be lost: Backlink source"));
}

// An import lists only some of the site's linking pages: the pages it did not
// list are not known to be lost. The site is one however its address was
// typed, and the list of each run is told.
TEST_F(RunHistoryTest, AnImportIsComparedAsThePartialListItIs) {
    ASSERT_EQ(Run({"--out", dir.File("report"), "mysite.test"}), 0) << Err();
    WriteFileBytes(dir.File("mine.txt"), "b.example/page.html\n");
    ASSERT_EQ(Run({"--import", dir.File("mine.txt"), "--out", dir.File("report"),
                   "https://www.mysite.test/"}),
              0)
        << Err();
    EXPECT_THAT(Err(), HasSubstr("1 without a scheme read with http://"));
    const std::string changes = ReadFileBytes(dir.Path() / "report" / "changes.csv");
    EXPECT_THAT(changes, HasSubstr("http://a.example/links.html,Unlisted,linkStatus,follow,"
                                   "not seen\n"));
    EXPECT_THAT(changes, Not(HasSubstr(",Lost,")));
    EXPECT_THAT(ReadFileBytes(dir.Path() / "report" / "report.html"),
                HasSubstr("<td>Unlisted</td>"));

    ASSERT_EQ(Run({"--history-list", "MySite.test"}), 0) << Err();
    EXPECT_THAT(Out(), ContainsRegex("\n2 .* import of 1 file\n1 .* siteexplorer\n$"));
}

// Only a page read whole without its link is lost; a page that could not be
// read is unverified, and one the source stopped listing is unlisted unless
// it is checked again.
TEST_F(RunHistoryTest, OnlyAVerifiedAbsenceIsLostAndAlerts) {
    WriteFileBytes(dir.File("services.ini"), HandMadeWeb::ConfigText() + "stall_timeout_s = 1\n");
    std::vector<std::string> listed;
    for (int n = 1; n <= 5; ++n) {
        const std::string page = "f" + std::to_string(n) + ".example/";
        web.SetPage(page, "<a href=\"http://mysite.test/\">Widgets</a>");
        listed.push_back("http://" + page);
    }
    web.ListOnSecondPage(listed);
    const std::string rechecked = dir.File("rechecked.sqlite");
    ASSERT_EQ(Run({"--out", dir.File("report"), "mysite.test"}), 0) << Err();
    ASSERT_EQ(Run({"--history", rechecked, "mysite.test"}, false), 0) << Err();

    web.SetPage("a.example/links.html", "<p>We no longer link to anyone.</p>");
    web.RemovePage("e.example/");
    web.SetStatus("f1.example/", 403);
    web.BreakPage("f2.example/", HandMadeWeb::Break::kStall);
    web.BreakPage("f3.example/", HandMadeWeb::Break::kClose);
    web.SetStatus("f4.example/", 500);
    web.SetPage("b.example/page.html",
                "<a rel=\"nofollow\" href=\"http://www.mysite.test/about.html\">Best Widgets</a>");
    // The source no longer lists f5, whose link is gone too.
    web.SetPage("f5.example/", "<p>No links here.</p>");
    listed.pop_back();
    web.ListOnSecondPage(listed);

    const std::string common =
        "Linking Page,Change,Field,Old,New\n"
        "http://b.example/page.html,Changed,linkStatus,follow,nofollow\n"
        "http://b.example/page.html,Changed,rel,,nofollow\n"
        "http://a.example/links.html,Lost,linkStatus,follow,not-found\n"
        "http://e.example/,Lost,linkStatus,follow,gone\n"
        "http://f1.example/,Unverified,linkStatus,follow,blocked\n"
        "http://f2.example/,Unverified,linkStatus,follow,cut-short\n"
        "http://f3.example/,Unverified,linkStatus,follow,cut-short\n"
        "http://f4.example/,Unverified,linkStatus,follow,error\n";
    EXPECT_EQ(Run({"--alert-on-lost", "--notify", "--out", dir.File("report"), "mysite.test"}), 3)
        << Err();
    EXPECT_EQ(ReadFileBytes(dir.Path() / "report" / "changes.csv"),
              common + "http://f5.example/,Unlisted,linkStatus,follow,not seen\n");
    const std::string records = ReadFileBytes(dir.Path() / "report" / "records.json");
    EXPECT_THAT(records, HasSubstr("{\"url\":\"http://f2.example/\",\"linkStatus\":\"cut-short\","
                                   "\"httpStatus\":200,\"rendered\":false,\"disavowed\":false}"));
    EXPECT_THAT(records, HasSubstr("{\"url\":\"http://f1.example/\",\"linkStatus\":\"blocked\","
                                   "\"httpStatus\":403,\"rendered\":false,\"disavowed\":false}"));
    EXPECT_THAT(ReadFileBytes(dir.Path() / "report" / "report.html"),
                HasSubstr("<td>Unverified</td>"));

    // Checked again, the page the source left is verified lost, and the
    // backlinks found stay the source's.
    EXPECT_EQ(Run({"--history", rechecked, "--recheck-previous", "--alert-on-lost", "--out",
                   dir.File("again"), "mysite.test"},
                  false),
              3)
        << Err();
    EXPECT_EQ(ReadFileBytes(dir.Path() / "again" / "changes.csv"),
              common + "http://f5.example/,Lost,linkStatus,follow,not-found\n");
    EXPECT_THAT(ReadFileBytes(dir.Path() / "again" / "records.json"),
                HasSubstr("\"backlinkCount\": 54,"));

    // Nothing lost since: the run's own exit code.
    EXPECT_EQ(Run({"--alert-on-lost", "--out", dir.File("report"), "mysite.test"}), 0) << Err();
}

TEST_F(RunHistoryTest, AHistoryLockedPastTheTimeoutCostsNeitherTheReportNorItsExitCode) {
    // Another program holds the write lock for the whole run.
    sqlite3* holder = nullptr;
    ASSERT_EQ(sqlite3_open(dir.File("history.sqlite").c_str(), &holder), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(holder, "PRAGMA journal_mode = WAL; BEGIN IMMEDIATE", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    EXPECT_EQ(Run({"--out", dir.File("report"), "mysite.test"}), 0) << Err();
    sqlite3_close(holder);
    EXPECT_THAT(Err(), HasSubstr("The run was not stored in the history: the history database " +
                                 dir.File("history.sqlite") +
                                 " is locked by another program for longer than 5 s"));
    EXPECT_TRUE(std::filesystem::exists(dir.Path() / "report" / "records.json"));
}

}  // namespace
}  // namespace veltrap
