#include "ReportFixture.h"
#include "app/ClientArea.h"
#include "store/SavedState.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include <iterator>
#include <string>
#include <vector>

namespace veltrap::testing {
namespace {

// The disavow file of the window: chosen from the File menu, written by the
// Link Status rows' menu, and read by every run.
class DisavowTest : public ReportFixture {
protected:
    // A run whose records are these pages, each marked as the run's disavow
    // list says, as the report's own pipeline marks them.
    void OpenWithPages(std::vector<std::string> pages) {
        Open([pages = std::move(pages)](RunPlan& plan, const RunContext&) {
            RunResult result;
            for (const std::string& page : pages) {
                result.records.Append(page);
                BacklinkRecord& record = *std::prev(result.records.end());
                record.linkStatus = "follow";
                record.disavowed = plan.request.disavow && plan.request.disavow->Names(page);
            }
            return result;
        });
        TypeAddress("target.example");
    }

    void RunAndShowLinkStatus() {
        ClickRun();
        ASSERT_TRUE(WaitForRunDone());
        ChooseTab(MainDialog::kLinkStatusTab);
    }

    void RightClick(int screenRow) {
        const QPoint at = ScreenRow(screenRow);
        QContextMenuEvent menu(QContextMenuEvent::Mouse, at, window_->Client()->mapToGlobal(at));
        QApplication::sendEvent(window_->Client(), &menu);
    }

    bool WaitForStatusStart(const QString& start) {
        return QTest::qWaitFor([&] { return Status().startsWith(start); });
    }
};

TEST_F(DisavowTest, AChosenFileMarksTheNextRunsPagesAndIsRemembered) {
    const std::string file = dir_.File("disavow.txt");
    WriteFileBytes(file, "# cleaned up in May\ndomain:spam.example\n");
    OpenWithPages({"http://www.spam.example/a", "http://good.example/"});
    oneFileAnswer_ = QString::fromStdString(file);
    window_->DisavowFileAction()->trigger();
    ASSERT_TRUE(WaitForStatusStart("Every run marks the pages that ")) << Status().toStdString();
    EXPECT_EQ(SavedState::Load(Store()).disavowFile, file);

    RunAndShowLinkStatus();
    EXPECT_EQ(Cell(0, 1), "Follow, Disavowed");
    EXPECT_EQ(Cell(1, 1), "Follow");

    // A window opened later reads the same file.
    window_.reset();
    OpenWithPages({"http://spam.example/"});
    EXPECT_EQ(window_->DisavowFile(), file);
    RunAndShowLinkStatus();
    EXPECT_EQ(Cell(0, 1), "Follow, Disavowed");
}

TEST_F(DisavowTest, DisavowDomainWritesItsLineAndMarksEveryRowOfTheDomain) {
    const std::string file = dir_.File("links.txt");
    WriteFileBytes(file, "# my list\n\nhttp://x.example/page\n");
    OpenWithPages({"http://www.bad.example/1", "http://good.example/", "http://www.bad.example/2"});
    RunAndShowLinkStatus();

    RightClick(3);
    ASSERT_TRUE(window_->RowMenu()->isVisible());
    EXPECT_TRUE(window_->DisavowDomainAction()->isVisible());
    // With no file chosen yet, the user is asked for one first.
    oneFileAnswer_ = QString::fromStdString(file);
    window_->DisavowDomainAction()->trigger();
    window_->RowMenu()->close();
    ASSERT_TRUE(WaitForStatusStart("Disavowed the domain www.bad.example in "))
        << Status().toStdString();
    EXPECT_EQ(ReadFileBytes(file), "# my list\n\nhttp://x.example/page\ndomain:www.bad.example\n");
    EXPECT_EQ(Cell(0, 1), "Follow, Disavowed");
    EXPECT_EQ(Cell(1, 1), "Follow");
    EXPECT_EQ(Cell(2, 1), "Follow, Disavowed");
    EXPECT_EQ(SelectedRow(), 2);
    EXPECT_EQ(window_->DisavowFile(), file);

    // The next page goes to the same file without asking again.
    RightClick(2);
    window_->DisavowPageAction()->trigger();
    window_->RowMenu()->close();
    ASSERT_TRUE(WaitForStatusStart("Disavowed http://good.example/ in "));
    EXPECT_EQ(oneFileAsked_, 1);
    EXPECT_EQ(Cell(1, 1), "Follow, Disavowed");
    EXPECT_TRUE(ReadFileBytes(file).ends_with("domain:www.bad.example\nhttp://good.example/\n"));
    ASSERT_TRUE(window_->grab().save(QStringLiteral(VELTRAP_SCREENSHOT_DIR "/window-disavow.png")));

    // The row menu of other tabs offers no disavowing.
    ChooseTab(MainDialog::kOverviewTab);
    RightClick(1);
    ASSERT_TRUE(window_->RowMenu()->isVisible());
    EXPECT_FALSE(window_->DisavowPageAction()->isVisible());
    window_->RowMenu()->close();
}

TEST_F(DisavowTest, RefusedFilesTellWhyAndChangeNothing) {
    const std::string bad = dir_.File("bad.txt");
    WriteFileBytes(bad, "# ok\ndomain:fine.example\nnot an entry\n");
    OpenWithPages({"http://page.example/"});
    oneFileAnswer_ = QString::fromStdString(bad);
    window_->DisavowFileAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !warnings_.isEmpty(); }));
    EXPECT_TRUE(warnings_[0].contains(", line 3: ")) << warnings_[0].toStdString();
    EXPECT_TRUE(window_->DisavowFile().empty());
    EXPECT_EQ(SavedState::Load(Store()).disavowFile, "");

    // A full file takes no more lines and stays as it was.
    const std::string full = dir_.File("full.txt");
    std::string lines;
    for (std::size_t line = 0; line < DisavowList::kMostLines; ++line) {
        lines += "domain:d" + std::to_string(line) + ".example\n";
    }
    WriteFileBytes(full, lines);
    RunAndShowLinkStatus();
    RightClick(1);
    oneFileAnswer_ = QString::fromStdString(full);
    window_->DisavowPageAction()->trigger();
    window_->RowMenu()->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return warnings_.size() == 2; }));
    EXPECT_TRUE(warnings_[1].startsWith("Nothing was disavowed: ")) << warnings_[1].toStdString();
    EXPECT_EQ(ReadFileBytes(full), lines);
    EXPECT_EQ(Cell(0, 1), "Follow");
    EXPECT_TRUE(window_->DisavowFile().empty());
}

}  // namespace
}  // namespace veltrap::testing
