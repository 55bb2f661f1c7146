#include "session/ReportSession.h"

#include "demo/DemoConfig.h"
#include "demo/DemoWeb.h"
#include "history/HistoryStore.h"
#include "net/CurlGlobal.h"
#include "session/ReportOutputs.h"
#include "session/StoredReport.h"
#include "support/TempDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace veltrap {
namespace {

using ::testing::ElementsAre;
using ::testing::StartsWith;
using testing::TempDir;

// libcurl is set up once for the whole test program, before any thread.
const CurlGlobal curlGlobal;

// Every event a session tells, in the order it told them: "status: LINE",
// "records: N of M" and "finished".
class Recorder {
public:
    SessionEvents Events() {
        SessionEvents events;
        events.status = [this](const std::string& line) { Add("status: " + line); };
        events.recordsDone = [this](std::size_t done, std::size_t total) {
            Add("records: " + std::to_string(done) + " of " + std::to_string(total));
        };
        events.finished = [this](const SessionEnd&) { Add("finished"); };
        return events;
    }
    std::vector<std::string> Told() {
        std::lock_guard lock(mutex_);
        return told_;
    }
    // Waits, as a listener would, for a line starting with prefix.
    bool Saw(const std::string& prefix) {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::seconds(60), [&] {
            return std::any_of(told_.begin(), told_.end(),
                               [&](const std::string& event) { return event.starts_with(prefix); });
        });
    }

private:
    void Add(std::string event) {
        {
            std::lock_guard lock(mutex_);
            told_.push_back(std::move(event));
        }
        changed_.notify_all();
    }
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<std::string> told_;
};

class ReportSessionTest : public ::testing::Test {
protected:
    void StartWeb(int latencyMs, int size) {
        DemoOptions options;
        options.latencyMs = latencyMs;
        options.size = size;
        web_ = std::make_unique<DemoWeb>(options);
        ASSERT_TRUE(web_->Start().ok());
    }
    SessionRequest Request() const {
        SessionRequest request;
        request.run.siteText = DemoSiteName();
        request.run.maxRankingPages = 1;
        request.config = DemoServiceConfig(ServiceConfig{}, web_->Port());
        request.config.http.jobs = 1;
        request.history = dir_.Path() / "history.sqlite";
        return request;
    }
    std::unique_ptr<ReportSession> Start(SessionRequest request, Recorder& recorder) {
        Result<ReportSession::Prepared> prepared = ReportSession::Prepare(std::move(request));
        EXPECT_TRUE(prepared.ok()) << prepared.reason();
        return std::make_unique<ReportSession>(std::move(prepared).value(), recorder.Events());
    }

    std::unique_ptr<DemoWeb> web_;
    TempDir dir_;
};

TEST_F(ReportSessionTest, ACompletedRunTellsItsLinesThenItsRecordsThenItsEnd) {
    StartWeb(0, 2);
    Recorder recorder;
    auto session = Start(Request(), recorder);
    const SessionEnd& end = session->Wait();
    ASSERT_TRUE(end.report.ok()) << end.report.reason();
    EXPECT_FALSE(end.report->result->cancelled);
    EXPECT_TRUE(end.historyProblems.empty());
    EXPECT_FALSE(session->Cancel()) << "a run that has ended cannot be cancelled";

    // The demo site's first backlink is one of its own pages, removed unread
    // and without a line; the second is read and looked up.
    EXPECT_THAT(recorder.Told(),
                ElementsAre("status: Indexing Backlinks...", "records: 1 of 2",
                            StartsWith("status: Examining http://"),
                            StartsWith("status: Gathering ranking data for keyphrase: "),
                            "records: 2 of 2", "finished"));

    HistoryStore store;
    ASSERT_TRUE(store.Open(dir_.Path() / "history.sqlite").ok());
    EXPECT_EQ(store.Runs(end.report->result->siteKey).value().size(), 1u);
}

// The run lets go of what was imported once its addresses are records:
// every address still reaches the list, and the history still notes the
// run as an import.
TEST_F(ReportSessionTest, AnImportedRunKeepsEveryAddressAndIsStoredAsAnImport) {
    StartWeb(0, 2);
    SessionRequest request = Request();
    testing::WriteFileBytes(dir_.Path() / "list.txt", "http://a.example/\nhttp://b.example/x\n");
    request.importFiles = {(dir_.Path() / "list.txt").string()};
    Recorder recorder;
    auto session = Start(std::move(request), recorder);
    const SessionEnd& end = session->Wait();
    ASSERT_TRUE(end.report.ok()) << end.report.reason();
    std::set<std::string> listed;
    for (const BacklinkRecord& record : end.report->result->records) {
        listed.insert(record.url);
    }
    for (const UnlinkedRecord& record : end.report->result->unlinked) {
        listed.insert(record.url);
    }
    EXPECT_THAT(listed, ElementsAre("http://a.example/", "http://b.example/x"));

    HistoryStore store;
    ASSERT_TRUE(store.Open(dir_.Path() / "history.sqlite").ok());
    const auto runs = store.Runs(end.report->result->siteKey).value();
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].listSource, "import of 1 file");
}

// Lines come from the run's threads while the user cancels: the cancel's
// line is the last status, whatever the interleaving, and the cancelled run
// is still stored.
TEST_F(ReportSessionTest, ACancelledRunEndsOnTheCancelsLine) {
    StartWeb(0, 2);
    for (int round = 0; round < 20; ++round) {
        Recorder recorder;
        std::atomic<bool> going{false};
        auto session = std::make_unique<ReportSession>(
            ReportSession::Prepare(Request()).value(), recorder.Events(),
            [&going](RunPlan&, const RunContext& context) {
                going = true;
                while (context.Announce("Examining http://a.example/...\r\n")) {
                }
                RunResult result;
                result.cancelled = context.stop.Cancelled();
                return result;
            });
        while (!going.load()) {
        }
        EXPECT_TRUE(session->Cancel());
        EXPECT_FALSE(session->Cancel());
        const SessionEnd& end = session->Wait();
        ASSERT_TRUE(end.report.ok());
        EXPECT_TRUE(end.report->result->cancelled);
        const std::vector<std::string> told = recorder.Told();
        ASSERT_GE(told.size(), 2u);
        EXPECT_EQ(told[told.size() - 2], "status: Report aborted by user..\r\n");
        EXPECT_EQ(told.back(), "finished");
    }
    HistoryStore store;
    ASSERT_TRUE(store.Open(dir_.Path() / "history.sqlite").ok());
    const auto runs = store.Runs("").value();
    ASSERT_EQ(runs.size(), 20u);
    EXPECT_TRUE(runs.front().cancelled);
}

// A source that cannot be read is told as such, never as a site without
// backlinks, and the run still ends and is stored.
TEST_F(ReportSessionTest, ARunWhoseSourceFailedSaysSoBeforeItsRecords) {
    StartWeb(0, 2);
    SessionRequest request = Request();
    // Nothing listens on the web's port once it is stopped.
    web_->Stop();
    Recorder recorder;
    auto session = Start(std::move(request), recorder);
    const SessionEnd& end = session->Wait();
    ASSERT_TRUE(end.report.ok());
    EXPECT_TRUE(end.report->result->discovery.failed);
    const std::vector<std::string> told = recorder.Told();
    ASSERT_EQ(told.size(), 3u) << ::testing::PrintToString(told);
    EXPECT_THAT(told[0], StartsWith("status: Backlink source siteexplorer failed on page 1: no "
                                    "answer ("));
    EXPECT_EQ(told[1], "status: Indexing Backlinks...");
    EXPECT_EQ(told[2], "finished");
}

// The window's Export All and veltrap-report's --out are one writer: the same
// files for the same run, and an earlier run's changes.csv goes when this run
// has no changes to tell.
TEST_F(ReportSessionTest, ExportAllWritesTheFilesOfOut) {
    StartWeb(0, 3);
    SessionRequest request = Request();
    request.outFolder = dir_.Path() / "out";
    testing::WriteFileBytes(dir_.Path() / "out-stale" / "changes.csv", "old");
    std::filesystem::create_directories(dir_.Path() / "export");
    testing::WriteFileBytes(dir_.Path() / "export" / "changes.csv", "old");
    Recorder recorder;
    auto session = Start(std::move(request), recorder);
    const SessionEnd& end = session->Wait();
    ASSERT_TRUE(end.written.ok()) << end.written.reason();
    ASSERT_TRUE(end.report.ok());
    ASSERT_FALSE(end.report->changes.has_value());
    ASSERT_TRUE(ReportOutputs::WriteFolder(dir_.Path() / "export", *end.report).ok());

    const auto files = [](const std::filesystem::path& folder) {
        std::set<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            names.insert(entry.path().filename().string());
        }
        return names;
    };
    EXPECT_EQ(files(dir_.Path() / "export"), files(dir_.Path() / "out"));
    EXPECT_THAT(files(dir_.Path() / "out"),
                ElementsAre("keyphrases.csv", "links.csv", "overview.csv", "pages.csv",
                            "records.json", "report.html"));
    for (const std::string& name : files(dir_.Path() / "out")) {
        EXPECT_EQ(testing::ReadFileBytes(dir_.Path() / "export" / name),
                  testing::ReadFileBytes(dir_.Path() / "out" / name))
            << name;
    }

    // Against the first run, the second has changes, which both write.
    FinishedReport second = *end.report;
    second.changes = RunChanges::Compare(*end.report->result, *end.report->result);
    ASSERT_TRUE(ReportOutputs::WriteFolder(dir_.Path() / "export", second).ok());
    EXPECT_EQ(testing::ReadFileBytes(dir_.Path() / "export" / "changes.csv"), "");
    EXPECT_TRUE(std::filesystem::exists(dir_.Path() / "export" / "changes.csv"));
}

// Every check comes before anything is sent, and says whose fault it was.
TEST_F(ReportSessionTest, PrepareRefusesWhatCannotRunAndNamesIt) {
    StartWeb(0, 1);
    testing::WriteFileBytes(dir_.Path() / "plain", "");
    struct Case {
        std::string name;
        std::function<void(SessionRequest&)> spoil;
        std::string named;
        bool inputAtFault;
    };
    const std::vector<Case> cases = {
        {"no site", [](SessionRequest& r) { r.run.siteText = "http://www. "; }, "names no site",
         true},
        {"broken configuration",
         [](SessionRequest& r) { r.config.settings.Set("backlinks", "source", "nowhere"); },
         "no service named 'nowhere'", true},
        {"missing import",
         [this](SessionRequest& r) { r.importFiles = {(dir_.Path() / "none.csv").string()}; },
         "none.csv", false},
        {"unwritable folder", [this](SessionRequest& r) { r.outFolder = dir_.Path() / "plain"; },
         "plain", false},
        // An import without a linking page would be a run that finds nothing.
        {"empty import",
         [this](SessionRequest& r) { r.importFiles = {(dir_.Path() / "plain").string()}; },
         "no linking page to run on in " + (dir_.Path() / "plain").string(), true},
    };
    for (const Case& test : cases) {
        SessionRequest request = Request();
        test.spoil(request);
        const Result<ReportSession::Prepared> prepared = ReportSession::Prepare(request);
        ASSERT_FALSE(prepared.ok()) << test.name;
        EXPECT_THAT(prepared.reason(), ::testing::HasSubstr(test.named)) << test.name;
        EXPECT_EQ(prepared.failure().inputAtFault, test.inputAtFault) << test.name;
    }
    EXPECT_EQ(web_->RequestsAnswered(), 0);
    EXPECT_FALSE(std::filesystem::exists(dir_.Path() / "history.sqlite"));
}

// A stored run opened again tells what its own report told when it ended:
// the changes since the run before it and the charts of the runs up to it.
TEST_F(ReportSessionTest, AStoredRunKeepsItsChangesAndItsCharts) {
    StartWeb(0, 3);
    Recorder first;
    Start(Request(), first)->Wait();
    Recorder second;
    auto session = Start(Request(), second);
    const SessionEnd& end = session->Wait();
    ASSERT_TRUE(end.report.ok());
    const FinishedReport& live = *end.report;
    ASSERT_EQ(live.history.runs.size(), 2u);

    HistoryStore store;
    ASSERT_TRUE(store.OpenToRead(dir_.Path() / "history.sqlite").ok());
    const auto runs = store.Runs(live.result->siteKey).value();
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_EQ(runs[0].listSource, "siteexplorer");
    const Result<StoredReport> stored =
        StoredReport::Load(dir_.Path() / "history.sqlite", runs[0].id);
    ASSERT_TRUE(stored.ok()) << stored.reason();
    const HtmlHistory& again = stored->report.history;
    ASSERT_EQ(again.runs.size(), live.history.runs.size());
    for (std::size_t n = 0; n < again.runs.size(); ++n) {
        EXPECT_EQ(again.runs[n].gained, live.history.runs[n].gained);
        EXPECT_EQ(again.runs[n].lost, live.history.runs[n].lost);
    }
    EXPECT_TRUE(again.changes.Configured());
    // The first run's report charts only the first.
    EXPECT_EQ(
        StoredReport::Load(dir_.Path() / "history.sqlite", runs[1].id)->report.history.runs.size(),
        1u);
}

}  // namespace
}  // namespace veltrap
