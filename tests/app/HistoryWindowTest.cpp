#include "ReportFixture.h"
#include "app/RunHistoryDialog.h"
#include "history/HistoryStore.h"
#include "support/TempDir.h"

#include <QAction>
#include <QDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

#include <sqlite3.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <mutex>
#include <thread>

namespace veltrap::testing {
namespace {

std::size_t ThreadCount() {
    const std::filesystem::directory_iterator tasks("/proc/self/task");
    return static_cast<std::size_t>(std::distance(begin(tasks), end(tasks)));
}

// A window whose runs give the records set before each one, and which keeps
// its history in a file of the test's own.
class HistoryWindowTest : public ReportFixture {
protected:
    void OpenWithHistory(std::filesystem::path file) {
        Open([this](RunPlan&, const RunContext&) {
            std::lock_guard lock(mutex_);
            RunResult result;
            result.siteKey = "mysite.test";
            for (const BacklinkRecord& record : next_) {
                result.records.Append(record.url);
                *std::prev(result.records.end()) = record;
            }
            result.backlinkCount = static_cast<std::int32_t>(next_.size());
            return result;
        });
        window_->SetHistoryFile(std::move(file));
        TypeAddress("mysite.test");
    }

    void RunWith(std::vector<BacklinkRecord> records) {
        {
            std::lock_guard lock(mutex_);
            next_ = std::move(records);
        }
        ClickRun();
        ASSERT_TRUE(WaitForRunDone(5000)) << Status().toStdString();
    }

    static BacklinkRecord Linking(const std::string& url, const std::string& rel = "") {
        BacklinkRecord record;
        record.url = url;
        record.href = "http://mysite.test/";
        record.anchorText = "my site";
        record.httpStatus = 200;
        record.rel = rel;
        record.linkStatus = rel.empty() ? "follow" : rel;
        return record;
    }

    std::mutex mutex_;
    std::vector<BacklinkRecord> next_;
};

TEST_F(HistoryWindowTest, TheLinkStatusTabTellsTheChangesAndAStoredRunOpensWithoutFetching) {
    OpenWithHistory(dir_.File("history.sqlite"));
    RunWith({Linking("http://a.test/"), Linking("http://b.test/")});
    ChooseTab(MainDialog::kLinkStatusTab);
    // The first run has nothing to be compared with.
    EXPECT_EQ(window_->Display().grid.Columns(), 5);

    RunWith({Linking("http://b.test/", "nofollow"), Linking("http://c.test/")});
    const ReportGrid& grid = window_->Display().grid;
    ASSERT_EQ(grid.Columns(), 6);
    EXPECT_EQ(grid.Header(5), "Change");
    ASSERT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(Cell(0, 0), "http://b.test/");
    EXPECT_EQ(Cell(0, 5), "Changed");
    EXPECT_EQ(Cell(1, 5), "New");
    EXPECT_EQ(Cell(2, 0), "http://a.test/");
    // The second run's list did not hold it: nobody looked.
    EXPECT_EQ(Cell(2, 1), "Not listed");
    EXPECT_EQ(Cell(2, 5), "Unlisted");
    EXPECT_TRUE(
        window_->grab().save(QStringLiteral(VELTRAP_SCREENSHOT_DIR "/window-link-changes.png")));

    // The dialog lists both runs, newest first; opening the older one shows
    // it without a run.
    int listed = 0;
    dialogScript_ = [&](QDialog& dialog) {
        auto& history = dynamic_cast<RunHistoryDialog&>(dialog);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !history.Reading(); }));
        listed = history.RunsTable()->rowCount();
        history.RunsTable()->selectRow(1);
        QTest::mouseClick(history.OpenRunButton(), Qt::LeftButton);
        return dialog.result();
    };
    // Showing a stored run is drawing a plain result: no scheduler, no
    // thread stays behind for it.
    const std::size_t threads = ThreadCount();
    window_->RunHistoryAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Status().startsWith("Stored run"); }));
    EXPECT_EQ(ThreadCount(), threads);
    EXPECT_EQ(listed, 2);
    EXPECT_EQ(Cell(0, 0), "http://a.test/");
    EXPECT_EQ(grid.Columns(), 5);
    EXPECT_TRUE(Status().startsWith("Stored run 1 of mysite.test")) << Status().toStdString();
    EXPECT_TRUE(window_->SaveHtmlAction()->isEnabled());
}

// veltrap-report storing runs in the same file while the window does costs
// neither of them a run.
TEST_F(HistoryWindowTest, TheWindowAndVeltrapReportStoreRunsAtTheSameTime) {
    const std::string file = dir_.File("history.sqlite");
    OpenWithHistory(file);
    constexpr int kReports = 4;
    std::atomic<int> failed{0};
    std::thread reports([&] {
        const std::string command = std::string(VELTRAP_REPORT_EXE) +
                                    " --demo --demo-size 3 --demo-latency-ms 0 --quiet"
                                    " --history '" +
                                    file + "' other.test > /dev/null 2>&1";
        for (int n = 0; n < kReports; ++n) {
            failed += std::system(command.c_str()) == 0 ? 0 : 1;
        }
    });
    constexpr int kWindowRuns = 6;
    for (int n = 0; n < kWindowRuns; ++n) {
        RunWith({Linking("http://a" + std::to_string(n) + ".test/")});
        EXPECT_FALSE(Status().contains("history")) << Status().toStdString();
    }
    reports.join();
    EXPECT_EQ(failed.load(), 0);
    HistoryStore store;
    ASSERT_TRUE(store.Open(file).ok());
    EXPECT_EQ(store.Runs("mysite.test").value().size(), static_cast<std::size_t>(kWindowRuns));
    EXPECT_EQ(store.Runs("other.test").value().size(), static_cast<std::size_t>(kReports));
}

// Another program holds the history's write lock as a run ends: the run
// waits for it on the session's thread while the window goes on answering,
// and is stored once the lock is let go.
TEST_F(HistoryWindowTest, TheWindowAnswersWhileAnotherProgramHoldsTheHistory) {
    const std::string file = dir_.File("history.sqlite");
    OpenWithHistory(file);
    RunWith({Linking("http://a.test/")});
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);

    ClickRun();
    ASSERT_TRUE(WaitForStatus("Beginning Profiling"));
    // Each turn of the event loop fires one more timer; the window must turn
    // many times while the run cannot be stored.
    int turns = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&turns] { ++turns; });
    ticker.start();
    const bool turned = QTest::qWaitFor([&] { return turns >= 50; });
    const QString whileHeld = Status();
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(turned);
    EXPECT_FALSE(whileHeld.startsWith("Done: ")) << whileHeld.toStdString();
    ASSERT_TRUE(WaitForRunDone()) << Status().toStdString();
    EXPECT_FALSE(Status().contains("history")) << Status().toStdString();
    HistoryStore store;
    ASSERT_TRUE(store.Open(file).ok());
    EXPECT_EQ(store.Runs("mysite.test").value().size(), 2u);
}

// A history that cannot be opened costs the report nothing, and says why.
TEST_F(HistoryWindowTest, AHistoryThatCannotBeUsedIsToldAndTheReportStillShows) {
    WriteFileBytes(dir_.File("plain"), "not a folder");
    OpenWithHistory(dir_.Path() / "plain" / "history.sqlite");
    RunWith({Linking("http://a.test/")});
    EXPECT_TRUE(Status().contains("The run was not stored in the history: "))
        << Status().toStdString();
    EXPECT_EQ(window_->Display().grid.Cell(0, 0), "Total Back Links: 1");
}

}  // namespace
}  // namespace veltrap::testing
