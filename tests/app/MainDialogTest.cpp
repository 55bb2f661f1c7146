#include "Watchdog.h"
#include "WindowFixture.h"
#include "app/ClientArea.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRect>
#include <QScrollBar>
#include <QTabBar>
#include <QTest>

#include <filesystem>
#include <string>
#include <vector>

namespace veltrap::testing {
namespace {

class MainDialogTest : public WindowFixture {};

TEST_F(MainDialogTest, OpensWithItsControlsAndLeavesTheGridAreaFree) {
    Open();
    EXPECT_EQ(window_->windowTitle(), "Veltrap");
    EXPECT_EQ(ButtonText(), "Run Link Analysis Report");
    ASSERT_EQ(window_->Tabs()->count(), 4);
    EXPECT_EQ(window_->Tabs()->tabText(0), "Overview");
    EXPECT_EQ(window_->Tabs()->tabText(1), "Detailed Link Report");
    EXPECT_EQ(window_->Tabs()->tabText(2), "Individual Page Report");
    EXPECT_EQ(window_->Tabs()->tabText(3), "Link Status");
    EXPECT_FALSE(window_->ScrollBar()->isEnabled());
    EXPECT_FALSE(window_->HiddenBox()->isVisible());
    EXPECT_TRUE(window_->StatusBox()->isReadOnly());
    EXPECT_FALSE(window_->ExportAction()->isEnabled());
    EXPECT_EQ(window_->ExportAction()->text(), "E&xport to Excel");
    EXPECT_EQ(window_->SettingsAction()->text(), "&Settings");
    EXPECT_EQ(window_->ExitAction()->text(), "&Exit");
    EXPECT_EQ(window_->AboutAction()->text(), "&About");
    EXPECT_FALSE(window_->windowIcon().isNull());

    // The grid with its frame, the hint line below it and the scroll bar
    // beside it are drawn on the client area; no control may cover them.
    const QRect grid(21, 80, 740, 290);
    const QRect hint(260, 375, 500, 60);
    for (QWidget* child :
         window_->Client()->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isVisible() || child == window_->ScrollBar()) {
            continue;
        }
        EXPECT_FALSE(child->geometry().intersects(grid)) << child->objectName().toStdString();
        EXPECT_FALSE(child->geometry().intersects(hint)) << child->objectName().toStdString();
        EXPECT_TRUE(window_->Client()->rect().contains(child->geometry()));
    }
    EXPECT_EQ(window_->Tabs()->geometry().bottom() + 1, 80);
    EXPECT_GE(window_->ScrollBar()->geometry().left(), 760);
    EXPECT_EQ(window_->ScrollBar()->geometry().top(), 81);
    EXPECT_EQ(window_->ScrollBar()->geometry().bottom() + 1, 369);
    EXPECT_TRUE(window_->Client()->rect().contains(window_->ScrollBar()->geometry()));
}

TEST_F(MainDialogTest, StartsFromTheSavedState) {
    Store().Write(SettingsStore::kPageList, "b.com,A.com,c.com,b.com,");
    Store().Write(SettingsStore::kLinkDomain, "none");
    Open();
    EXPECT_EQ(SavedSitesInBox(), (QStringList{"A.com", "b.com", "c.com"}));
    EXPECT_EQ(window_->MaxBacklinkPages(), 0);
    EXPECT_EQ(window_->MaxRankingPages(), 10);
    EXPECT_EQ(window_->AddressBox()->currentText(), "");
}

TEST_F(MainDialogTest, RunEndsIdleWithTheOverviewFilled) {
    Store().Write(SettingsStore::kSearchResults, "3");
    Open();
    TypeAddress("http://www.example.com");
    script_.Release(0);
    ClickRun();
    EXPECT_EQ(ButtonText(), "Cancel Report");
    ASSERT_TRUE(WaitForRunDone());
    EXPECT_EQ(ButtonText(), "Run Link Analysis Report");
    EXPECT_FALSE(window_->RunGoing());

    ASSERT_EQ(script_.Requests().size(), 1u);
    EXPECT_EQ(script_.Requests()[0].siteText, "http://www.example.com");
    EXPECT_EQ(script_.Requests()[0].maxBacklinkPages, 10);
    EXPECT_EQ(script_.Requests()[0].maxRankingPages, 3);

    const ReportDisplay& display = window_->Display();
    EXPECT_TRUE(display.reportReady);
    EXPECT_TRUE(display.rowsSelectable);
    EXPECT_EQ(display.selectedRow, -1);
    EXPECT_EQ(display.hintText, "Double click any URL to view this page.");
    ASSERT_TRUE(display.grid.Configured());
    EXPECT_EQ(display.grid.Cell(0, 0), "Total Back Links: 1");
    EXPECT_EQ(display.grid.Cell(4, 0), "http://linker0.example/example.com");
    ASSERT_NE(window_->ReportList(), nullptr);
    EXPECT_EQ(window_->ReportList()->size(), 1u);
    EXPECT_TRUE(window_->ExportAction()->isEnabled());
    EXPECT_FALSE(window_->ScrollBar()->isEnabled());

    EXPECT_EQ(Store().Read(SettingsStore::kPageList), "example.com,");
    EXPECT_EQ(SavedSitesInBox(), QStringList{"example.com"});
    EXPECT_EQ(window_->AddressBox()->currentText(), "http://www.example.com");
}

TEST_F(MainDialogTest, RunFillsTheSelectedTab) {
    Open();
    window_->Tabs()->setCurrentIndex(MainDialog::kKeyphraseTab);
    TypeAddress("example.com");
    script_.Release(0);
    ClickRun();
    ASSERT_TRUE(WaitForRunDone());
    EXPECT_EQ(window_->Display().grid.Header(0), "Link Text");
    EXPECT_EQ(window_->Display().grid.Cell(0, 0), "phrase 0");
    EXPECT_EQ(window_->Display().hintText, "Double click any keyphrase to see backlink details");
}

TEST_F(MainDialogTest, ProgressLinesAreShownWithoutLineEnds) {
    Open();
    TypeAddress("example.com");
    ClickRun();
    ASSERT_TRUE(WaitForStatus("Indexing Backlinks..."));
    EXPECT_TRUE(window_->RunGoing());
    EXPECT_FALSE(window_->Display().grid.Configured());
    EXPECT_FALSE(window_->Display().reportReady);
}

TEST_F(MainDialogTest, CancelAnsweredYesStopsTheRunAndLeavesThePanes) {
    Open();
    TypeAddress("example.com");
    script_.Release(0);
    ClickRun();
    ASSERT_TRUE(WaitForRunDone());
    ASSERT_TRUE(window_->Display().grid.Configured());

    ClickRun();
    ASSERT_TRUE(WaitForStatus("Indexing Backlinks..."));
    EXPECT_FALSE(window_->ExportAction()->isEnabled());
    answers_.push_back(true);
    ClickRun();
    EXPECT_EQ(questions_, QStringList{"Do you want to cancel the report?"});
    EXPECT_FALSE(window_->RunGoing());
    ASSERT_TRUE(WaitForStatus("Report aborted by user.."));
    EXPECT_EQ(ButtonText(), "Advanced Link Analysis Report");
    ASSERT_TRUE(QTest::qWaitFor([&] { return script_.Returned() == 2; }, 5000));
    QTest::qWait(250);
    EXPECT_EQ(Status(), "Report aborted by user..");
    EXPECT_FALSE(window_->Display().grid.Configured());
    EXPECT_FALSE(window_->Display().reportReady);
    EXPECT_EQ(window_->ReportList(), nullptr);
    EXPECT_FALSE(window_->ExportAction()->isEnabled());
}

TEST_F(MainDialogTest, CancelAnsweredNoLetsTheRunGoOn) {
    Open();
    TypeAddress("example.com");
    ClickRun();
    ASSERT_TRUE(WaitForStatus("Indexing Backlinks..."));
    answers_.push_back(false);
    ClickRun();
    EXPECT_EQ(questions_.size(), 1);
    EXPECT_EQ(ButtonText(), "Cancel Report");
    EXPECT_TRUE(window_->RunGoing());
    QTest::qWait(250);
    EXPECT_EQ(ButtonText(), "Cancel Report");
    EXPECT_EQ(script_.Started(), 1);

    script_.Release(0);
    ASSERT_TRUE(WaitForRunDone());
    EXPECT_TRUE(window_->Display().reportReady);
}

TEST_F(MainDialogTest, NewRunAfterACancelIsNotTouchedByTheOldWorker) {
    script_.SetHonoursCancel(false);
    Open();
    TypeAddress("first.example");
    ClickRun();
    ASSERT_TRUE(WaitForStatus("Indexing Backlinks..."));
    answers_.push_back(true);
    ClickRun();
    ASSERT_TRUE(WaitForStatus("Report aborted by user.."));

    // The first worker is still waiting, as if inside a fetch.
    TypeAddress("second.example");
    script_.Release(1);
    ClickRun();
    EXPECT_EQ(ButtonText(), "Cancel Report");
    ASSERT_TRUE(WaitForRunDone());
    ASSERT_EQ(script_.Started(), 2);
    EXPECT_EQ(window_->Display().grid.Cell(4, 0), "http://linker1.example/second.example");

    // Now the old worker carries on and writes its own run's list, status and
    // end state. None of it may reach the window.
    script_.Release(0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return script_.Returned() == 2; }, 5000));
    QTest::qWait(250);
    EXPECT_TRUE(Status().startsWith("Done: 0 backlinks found, 1 kept")) << Status().toStdString();
    EXPECT_EQ(ButtonText(), "Run Link Analysis Report");
    ASSERT_NE(window_->ReportList(), nullptr);
    EXPECT_EQ(window_->ReportList()->begin()->url, "http://linker1.example/second.example");
    EXPECT_EQ(window_->Display().grid.Cell(4, 0), "http://linker1.example/second.example");
}

TEST_F(MainDialogTest, SameSiteTwiceIsSavedOnce) {
    Open();
    script_.Release(-1);
    for (const char* typed : {"www.example.com", "http://example.com", "ample.com"}) {
        TypeAddress(typed);
        ClickRun();
        ASSERT_TRUE(WaitForRunDone());
    }
    EXPECT_EQ(Store().Read(SettingsStore::kPageList), "example.com,ample.com,");
    EXPECT_EQ(SavedSitesInBox(), (QStringList{"ample.com", "example.com"}));
}

TEST_F(MainDialogTest, EmptyAddressIsRefusedWithAMessage) {
    Open();
    TypeAddress("http://www.  ");
    ClickRun();
    EXPECT_EQ(warnings_, QStringList{"Please type the address of a website to profile."});
    EXPECT_EQ(ButtonText(), "Run Link Analysis Report");
    QTest::qWait(150);
    EXPECT_EQ(script_.Started(), 0);
    EXPECT_EQ(Store().Read(SettingsStore::kPageList), "");
    EXPECT_EQ(window_->AddressBox()->count(), 0);
}

TEST_F(MainDialogTest, EnterStartsOneRunOfTheTypedSiteAndNothingMore) {
    Open();
    QTest::keyClick(window_->AddressBox()->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(warnings_.size(), 1);
    TypeAddress("example.com");
    QTest::keyClick(window_->AddressBox()->lineEdit(), Qt::Key_Return);
    ASSERT_TRUE(WaitForStatus("Indexing Backlinks..."));
    // A second Enter during the run neither asks to cancel nor starts another.
    QTest::keyClick(window_->AddressBox()->lineEdit(), Qt::Key_Enter);
    EXPECT_TRUE(questions_.isEmpty());
    script_.Release(-1);
    ASSERT_TRUE(WaitForRunDone());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_EQ(script_.Started(), 1);
    EXPECT_EQ(window_->AddressBox()->currentText(), "example.com");
}

// The scripted run waits until it is released or stopped, so closing returns
// only if it stops the run.
TEST_F(MainDialogTest, ClosingDuringARunStopsIt) {
    Open();
    TypeAddress("example.com");
    ClickRun();
    ASSERT_TRUE(WaitForStatus("Indexing Backlinks..."));
    {
        const Watchdog watchdog([this] { script_.Release(-1); });
        EXPECT_TRUE(window_->close());
        EXPECT_FALSE(watchdog.Fired());
    }
    EXPECT_EQ(script_.Returned(), 1);
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(MainDialogTest, ExitClosesTheWindow) {
    Open();
    window_->ExitAction()->trigger();
    EXPECT_FALSE(window_->isVisible());
}

TEST_F(MainDialogTest, ExportWritesTheGridAndOpensTheFile) {
    Open();
    TypeAddress("example.com");
    script_.Release(0);
    ClickRun();
    ASSERT_TRUE(WaitForRunDone());

    saveAnswer_ = QString::fromStdString(dir_.File("report.csv"));
    window_->ExportAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opened_.empty(); }));
    EXPECT_EQ(saveFilters_, (QStringList{"Comma Seperated Files (*.csv);;All Files (*.*)", "csv"}));
    EXPECT_EQ(ReadFileBytes(dir_.File("report.csv")),
              "Overview\nTotal Back Links: 1\nTotal Home Page Links: 0\n\nURLs of Linking "
              "Sites:\nhttp://linker0.example/example.com\n");
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], QUrl::fromLocalFile(saveAnswer_));
    // Where the table went is told, as for the other files the window writes.
    EXPECT_EQ(messages_, QStringList{"The table was written to " + saveAnswer_ + "."});
    EXPECT_TRUE(warnings_.isEmpty());
}

TEST_F(MainDialogTest, ExportOfATableWithoutRowsGivesAnEmptyFileThatIsStillOpened) {
    Open([](RunPlan&, const RunContext&) { return RunResult{}; });
    window_->Tabs()->setCurrentIndex(MainDialog::kKeyphraseTab);
    TypeAddress("example.com");
    ClickRun();
    ASSERT_TRUE(WaitForRunDone());
    ASSERT_EQ(window_->Display().grid.RowCount(), 0);

    saveAnswer_ = QString::fromStdString(dir_.File("empty.csv"));
    window_->ExportAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !opened_.empty(); }));
    EXPECT_TRUE(std::filesystem::exists(dir_.File("empty.csv")));
    EXPECT_EQ(ReadFileBytes(dir_.File("empty.csv")), "");
    EXPECT_EQ(opened_, std::vector<QUrl>{QUrl::fromLocalFile(saveAnswer_)});
    EXPECT_TRUE(warnings_.isEmpty());
}

TEST_F(MainDialogTest, ExportThatCannotWriteSaysSoAndOpensNothing) {
    Open();
    TypeAddress("example.com");
    script_.Release(0);
    ClickRun();
    ASSERT_TRUE(WaitForRunDone());

    saveAnswer_ = QString::fromStdString(dir_.File("missing/report.csv"));
    window_->ExportAction()->trigger();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !warnings_.isEmpty(); }));
    EXPECT_EQ(warnings_, QStringList{"Error writing to that file"});
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_TRUE(opened_.empty());

    saveAnswer_.clear();
    window_->ExportAction()->trigger();
    EXPECT_EQ(warnings_.size(), 1);
    EXPECT_TRUE(opened_.empty());
}

}  // namespace
}  // namespace veltrap::testing
