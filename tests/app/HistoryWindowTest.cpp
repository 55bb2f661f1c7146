#include "ReportFixture.h"
#include "app/RunHistoryDialog.h"
#include "engine/RunState.h"
#include "history/HistoryStore.h"
#include "support/TempDir.h"

#include <QAction>
#include <QDialog>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include <atomic>
#include <cstdlib>
#include <mutex>
#include <thread>

namespace veltrap::testing {
namespace {

// A window whose runs give the records set before each one, and which keeps
// its history in a file of the test's own.
class HistoryWindowTest : public ReportFixture {
protected:
    void OpenWithHistory(std::filesystem::path file) {
        Open([this](const RunRequest&, const ServiceConfig&, RunShared& shared) {
            std::lock_guard lock(mutex_);
            RunResult result;
            result.siteKey = "mysite.test";
            for (const BacklinkRecord& record : next_) {
                shared.List().Append(record.url);
                *std::prev(shared.List().end()) = record;
                result.records.Append(record.url);
                *std::prev(result.records.end()) = record;
            }
            result.backlinkCount = static_cast<std::int32_t>(next_.size());
            shared.SetResult(result);
            shared.runState.store(kRunIdle);
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
    EXPECT_EQ(Cell(2, 1), "Link lost");
    EXPECT_EQ(Cell(2, 5), "Lost");
    EXPECT_TRUE(
        window_->grab().save(QStringLiteral(VELTRAP_SCREENSHOT_DIR "/window-link-changes.png")));

    // The dialog lists both runs, newest first; opening the older one shows
    // it without a run.
    int listed = 0;
    dialogScript_ = [&](QDialog& dialog) {
        auto& history = dynamic_cast<RunHistoryDialog&>(dialog);
        listed = history.RunsTable()->rowCount();
        history.RunsTable()->selectRow(1);
        QTest::mouseClick(history.OpenRunButton(), Qt::LeftButton);
        return dialog.result();
    };
    window_->RunHistoryAction()->trigger();
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
    EXPECT_EQ(store.Runs("mysite.test")->size(), static_cast<std::size_t>(kWindowRuns));
    EXPECT_EQ(store.Runs("other.test")->size(), static_cast<std::size_t>(kReports));
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
