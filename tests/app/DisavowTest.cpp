#include "ReportFixture.h"
#include "app/ClientArea.h"
#include "store/SavedState.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include <atomic>
#include <iterator>
#include <string>

namespace veltrap::testing {
namespace {

// The window's disavow file: chosen from the File menu, written from the Link
// Status rows' menu, and read by every run, whose pipeline marks the pages
// that the run's list names.
class DisavowTest : public ReportFixture {
protected:
    void RunOn(std::vector<std::string> pages) {
        Open([pages = std::move(pages)](RunPlan& plan, const RunContext&) {
            RunResult result;
            for (const std::string& page : pages) {
                result.records.Append(page);
                std::prev(result.records.end())->linkStatus = "follow";
                std::prev(result.records.end())->disavowed =
                    plan.request.disavow && plan.request.disavow->Names(page);
            }
            return result;
        });
        TypeAddress("target.example");
        ClickRun();
        ASSERT_TRUE(WaitForRunDone());
        ChooseTab(MainDialog::kLinkStatusTab);
    }

    bool WaitForStatusStart(const QString& start) {
        return QTest::qWaitFor([&] { return Status().startsWith(start); });
    }

    const std::string file_ = dir_.File("disavow.txt");
};

TEST_F(DisavowTest, AChosenFileIsRememberedAndMarksTheNextRun) {
    WriteFileBytes(file_, "# cleaned up in May\ndomain:spam.example\n");
    RunOn({"http://www.spam.example/a", "http://good.example/"});
    oneFileAnswer_ = QString::fromStdString(file_);
    window_->DisavowFileAction()->trigger();
    ASSERT_TRUE(WaitForStatusStart("Every run marks the pages that ")) << Status().toStdString();
    EXPECT_EQ(SavedState::Load(Store()).disavowFile, file_);
    ClickRun();
    ASSERT_TRUE(WaitForRunDone());
    EXPECT_EQ(Cell(0, 1), "Follow, Disavowed");
    EXPECT_EQ(Cell(1, 1), "Follow");

    // Cancelling the dialog can stop reading it, for good.
    oneFileAnswer_.clear();
    answers_ = {true};
    window_->DisavowFileAction()->trigger();
    EXPECT_EQ(SavedState::Load(Store()).disavowFile, "");
    ClickRun();
    ASSERT_TRUE(WaitForRunDone());
    EXPECT_EQ(Cell(0, 1), "Follow");
}

TEST_F(DisavowTest, DisavowDomainAddsItsLineAndMarksEveryRowOfTheDomain) {
    WriteFileBytes(file_, "# my list\n\nhttp://x.example/page\n");
    RunOn({"http://www.bad.example/1", "http://good.example/", "http://www.bad.example/2"});
    const QPoint at = ScreenRow(3);
    QContextMenuEvent menu(QContextMenuEvent::Mouse, at, window_->Client()->mapToGlobal(at));
    QApplication::sendEvent(window_->Client(), &menu);
    ASSERT_TRUE(window_->DisavowDomainAction()->isVisible());
    // With no file chosen yet, the user is asked for one first.
    oneFileAnswer_ = QString::fromStdString(file_);
    window_->DisavowDomainAction()->trigger();
    window_->RowMenu()->close();
    ASSERT_TRUE(WaitForStatusStart("Disavowed the domain www.bad.example in "))
        << Status().toStdString();
    EXPECT_EQ(oneFileAsked_, 1);
    EXPECT_EQ(ReadFileBytes(file_), "# my list\n\nhttp://x.example/page\ndomain:www.bad.example\n");
    EXPECT_EQ(Cell(0, 1), "Follow, Disavowed");
    EXPECT_EQ(Cell(1, 1), "Follow");
    EXPECT_EQ(Cell(2, 1), "Follow, Disavowed");
    EXPECT_EQ(window_->DisavowFile(), file_);
    ASSERT_TRUE(window_->grab().save(QStringLiteral(VELTRAP_SCREENSHOT_DIR "/window-disavow.png")));
}

// A page disavowed after the run is no longer told lost or unlisted: its
// Change cell empties where it stands, and the row of a page only the run
// before listed leaves the pane.
TEST_F(DisavowTest, DisavowingAPageTakesItOutOfTheChanges) {
    std::atomic<int> runs = 0;
    Open([&runs](RunPlan&, const RunContext&) {
        RunResult result;
        result.siteKey = "target.example";
        result.records.Append("http://good.example/");
        result.records.begin()->linkStatus = "follow";
        if (runs++ == 0) {
            for (const char* page : {"http://spam.example/1", "http://spam.example/2"}) {
                result.records.Append(page);
                std::prev(result.records.end())->linkStatus = "follow";
            }
        } else {
            result.unlinked.push_back({"http://spam.example/1", "not-found", 200, 1});
        }
        return result;
    });
    window_->SetHistoryFile(dir_.File("history.sqlite"));
    TypeAddress("target.example");
    for (int run = 0; run < 2; ++run) {
        ClickRun();
        ASSERT_TRUE(WaitForRunDone());
    }
    ChooseTab(MainDialog::kLinkStatusTab);
    ASSERT_EQ(Cell(1, 0), "http://spam.example/1");
    EXPECT_EQ(Cell(1, 5), "Lost");
    ASSERT_EQ(Cell(2, 0), "http://spam.example/2");
    EXPECT_EQ(Cell(2, 5), "Unlisted");

    WriteFileBytes(file_, "domain:spam.example\n");
    oneFileAnswer_ = QString::fromStdString(file_);
    window_->DisavowFileAction()->trigger();
    ASSERT_TRUE(WaitForStatusStart("Every run marks the pages that ")) << Status().toStdString();
    EXPECT_EQ(Cell(1, 0), "http://spam.example/1");
    EXPECT_EQ(Cell(1, 5), "");
    EXPECT_EQ(Cell(2, 0), "");
}

TEST_F(DisavowTest, ARefusedFileTellsItsLineAndIsNotRemembered) {
    WriteFileBytes(file_, "# ok\ndomain:fine.example\nnot an entry\n");
    RunOn({"http://page.example/"});
    oneFileAnswer_ = QString::fromStdString(file_);
    window_->DisavowFileAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !warnings_.isEmpty(); }));
    EXPECT_TRUE(warnings_[0].contains(", line 3: ")) << warnings_[0].toStdString();
    EXPECT_TRUE(window_->DisavowFile().empty());
    EXPECT_EQ(SavedState::Load(Store()).disavowFile, "");
}

}  // namespace
}  // namespace veltrap::testing
