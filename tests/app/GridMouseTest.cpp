#include "ReportFixture.h"

#include <QScrollBar>
#include <QTabBar>
#include <QTest>
#include <QUrl>

namespace veltrap::testing {
namespace {

class GridMouseTest : public ReportFixture {};

// Columns of the keyphrase pane: "Link Text" up to 375, "Occurances" up to
// 470, "Google Rank" up to 565.
constexpr int kLinkTextX = 200;
constexpr int kOccurancesX = 420;
constexpr int kGoogleX = 500;

TEST_F(GridMouseTest, PointsOnTheGridsEdgesAreOutsideIt) {
    ShowReport(FortyRecords());
    Click({kGridLeft, ScreenRow(2).y()});
    EXPECT_EQ(SelectedRow(), -1);
    Click({kGridLeft + 1, ScreenRow(2).y()});
    EXPECT_EQ(SelectedRow(), 1);
    Click({100, kGridBottom});
    EXPECT_EQ(SelectedRow(), 1);
    Click({100, kGridBottom - 1});
    EXPECT_EQ(SelectedRow(), 14);
    Click({kGridLeft + kGridWidth, ScreenRow(5).y()});
    EXPECT_EQ(SelectedRow(), 14);
    // Truncated column edges end short of the grid's right side; the pixel
    // before it still belongs to the last column.
    Click({kGridLeft + kGridWidth - 1, ScreenRow(5).y()});
    EXPECT_EQ(SelectedRow(), 4);

    ChooseTab(MainDialog::kKeyphraseTab);
    Click({kGoogleX, kGridTop});
    EXPECT_EQ(Cell(0, 0), "phrase 0");
    Click({kGoogleX, kGridTop + 1});
    EXPECT_EQ(Cell(0, 0), "phrase 17");
}

TEST_F(GridMouseTest, DataRowsDoNothingWhileRowsAreNotSelectable) {
    Open();
    Click(ScreenRow(3));
    DoubleClick(ScreenRow(3));
    EXPECT_EQ(SelectedRow(), -1);

    ShowReport(FortyRecords());
    window_->Display().rowsSelectable = false;
    Click(ScreenRow(3));
    EXPECT_EQ(SelectedRow(), -1);
    DoubleClick(ScreenRow(6));
    EXPECT_TRUE(opened_.empty());

    ChooseTab(MainDialog::kKeyphraseTab);
    window_->Display().rowsSelectable = false;
    DoubleClick(ScreenRow(1));
    EXPECT_EQ(window_->Tabs()->count(), 4);
    EXPECT_EQ(window_->Display().grid.Header(0), "Link Text");
}

TEST_F(GridMouseTest, SortableHeaderSortsAndShowsTheFirstRows) {
    ShowReport(FortyRecords());
    ChooseTab(MainDialog::kKeyphraseTab);
    Scroll(QAbstractSlider::SliderSingleStepAdd, 5);
    Click(ScreenRow(2));
    ASSERT_EQ(FirstRow(), 5);
    ASSERT_EQ(SelectedRow(), 1);

    Click(ScreenRow(0, kGoogleX));
    EXPECT_EQ(FirstRow(), 0);
    EXPECT_EQ(window_->ScrollBar()->value(), 0);
    EXPECT_EQ(SelectedRow(), -1);
    EXPECT_EQ(Cell(0, 0), "phrase 17");
    EXPECT_EQ(Cell(0, 2), "39");
    EXPECT_EQ(Cell(39, 2), "0");

    // A double-click on a header is a click on it, and never a detail view.
    Scroll(QAbstractSlider::SliderSingleStepAdd, 4);
    DoubleClick(ScreenRow(0, kOccurancesX));
    EXPECT_EQ(FirstRow(), 0);
    EXPECT_EQ(window_->ScrollBar()->value(), 0);
    EXPECT_EQ(Cell(0, 0), "phrase 17");
    EXPECT_EQ(window_->Tabs()->count(), 4);
}

TEST_F(GridMouseTest, TextHeadersSortFromAToZWithoutCaseAndTheOverviewNever) {
    std::vector<BacklinkRecord> records(3);
    const char* const phrases[] = {"Banana", "cherry", "apple"};
    for (std::size_t i = 0; i < records.size(); ++i) {
        records[i].url = "http://site" + std::to_string(i) + ".example/page";
        records[i].anchorText = phrases[i];
    }
    ShowReport(records);
    const std::string overviewTop = Cell(0, 0);
    Click(ScreenRow(0));
    EXPECT_EQ(Cell(0, 0), overviewTop);
    EXPECT_EQ(window_->Display().sortColumn, -1);

    ChooseTab(MainDialog::kKeyphraseTab);
    Click(ScreenRow(3));
    Click(ScreenRow(0, kLinkTextX));
    EXPECT_EQ(SelectedRow(), -1);
    EXPECT_EQ((std::vector<std::string>{Cell(0, 0), Cell(1, 0), Cell(2, 0)}),
              (std::vector<std::string>{"apple", "Banana", "cherry"}));
    EXPECT_TRUE(window_->Display().sortAscending);
    // A double-click that follows is the same click, not a second one.
    DoubleClick(ScreenRow(0, kLinkTextX));
    EXPECT_EQ(Cell(0, 0), "apple");
    Click(ScreenRow(0, kLinkTextX));
    EXPECT_EQ((std::vector<std::string>{Cell(0, 0), Cell(1, 0), Cell(2, 0)}),
              (std::vector<std::string>{"cherry", "Banana", "apple"}));
    EXPECT_FALSE(window_->Display().sortAscending);
}

TEST_F(GridMouseTest, SelectionStaysOnItsPlaceOnScreen) {
    ShowReport(FortyRecords());
    Click(ScreenRow(3));
    Scroll(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(FirstRow(), 15);
    EXPECT_EQ(SelectedRow(), 2);
}

TEST_F(GridMouseTest, OverviewOpensFromTheFourthRowOnScreen) {
    ShowReport(FortyRecords());
    Scroll(QAbstractSlider::SliderSingleStepAdd, 5);
    ASSERT_EQ(FirstRow(), 5);
    for (int row = 1; row <= 3; ++row) {
        DoubleClick(ScreenRow(row));
    }
    EXPECT_TRUE(opened_.empty());
    DoubleClick(ScreenRow(4));
    ASSERT_EQ(Cell(8, 0), "http://site4.example/page");
    EXPECT_EQ(opened_, std::vector<QUrl>{QUrl("http://site4.example/page")});
    // Below the last row there is nothing to open.
    window_->ScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
    opened_.clear();
    DoubleClick(ScreenRow(15));
    EXPECT_EQ(opened_, std::vector<QUrl>{QUrl("http://site39.example/page")});
}

TEST_F(GridMouseTest, OnlyWebAddressesAreHandedToTheBrowser) {
    std::vector<BacklinkRecord> records(6);
    records[0].url = "javascript:alert(1)";
    records[1].url = "file:///etc/passwd";
    records[2].url = "http://";
    records[3].url = "http://spaced.example/a b";
    records[4].url = "calc.exe";
    records[5].url = "HTTPS://Secure.example/x?q=1";
    ShowReport(records);
    // Screen row 4 is the "URLs of Linking Sites:" label.
    ASSERT_EQ(Cell(3, 0), "URLs of Linking Sites:");
    for (int row = 1; row <= 10; ++row) {
        DoubleClick(ScreenRow(row));
    }
    EXPECT_EQ(opened_, std::vector<QUrl>{QUrl("https://secure.example/x?q=1")});
}

TEST_F(GridMouseTest, DetailViewsOpenInATemporaryTab) {
    ShowReport(FortyRecords());
    ChooseTab(MainDialog::kKeyphraseTab);
    DoubleClick(ScreenRow(2));
    EXPECT_EQ(TabTitles(),
              "Overview|Detailed Link Report|Individual Page Report|Link Status|Overview Details");
    EXPECT_EQ(window_->Tabs()->currentIndex(), MainDialog::kDetailTab);
    EXPECT_EQ(window_->Display().grid.Header(0), "URL's linked with: phrase 1");
    EXPECT_EQ(Cell(0, 0), "http://site1.example/page");
    EXPECT_EQ(window_->Display().hintText, "Double click any url to visit that page");
    EXPECT_EQ(SelectedRow(), -1);

    // A row of a detail view opens its page, as its hint says.
    DoubleClick(ScreenRow(1));
    EXPECT_EQ(window_->Tabs()->count(), 5);
    EXPECT_EQ(window_->Display().grid.Header(0), "URL's linked with: phrase 1");
    EXPECT_EQ(opened_, std::vector<QUrl>{QUrl("http://site1.example/page")});

    ChooseTab(MainDialog::kKeyphraseTab);
    EXPECT_EQ(window_->Tabs()->count(), 4);
    EXPECT_EQ(window_->Display().grid.Header(0), "Link Text");

    ChooseTab(MainDialog::kPageTab);
    DoubleClick(ScreenRow(1));
    EXPECT_EQ(TabTitles(),
              "Overview|Detailed Link Report|Individual Page Report|Link Status|"
              "Individual Page Details");
    EXPECT_EQ(window_->Display().grid.Header(0), "URL's linking to: http://target.example/p0");
    EXPECT_EQ(window_->Display().grid.RowCount(), 14);

    ChooseTab(MainDialog::kOverviewTab);
    EXPECT_EQ(window_->Tabs()->count(), 4);
    EXPECT_EQ(window_->Tabs()->currentIndex(), MainDialog::kOverviewTab);
    EXPECT_EQ(Cell(0, 0), "Total Back Links: 40");
}

TEST_F(GridMouseTest, ChoosingTheTabOfTheDetailViewsOriginRemovesIt) {
    ShowReport(FortyRecords());
    ChooseTab(MainDialog::kPageTab);
    DoubleClick(ScreenRow(3));
    ASSERT_EQ(window_->Tabs()->count(), 5);
    ChooseTab(MainDialog::kPageTab);
    EXPECT_EQ(window_->Tabs()->count(), 4);
    EXPECT_EQ(window_->Display().grid.Header(0), "Link in Profiled Site");
}

TEST_F(GridMouseTest, NewRunTakesTheDetailTabAwayAndFillsItsOrigin) {
    ShowReport(FortyRecords());
    ChooseTab(MainDialog::kKeyphraseTab);
    DoubleClick(ScreenRow(1));
    ASSERT_EQ(window_->Tabs()->count(), 5);
    ClickRun();
    EXPECT_EQ(window_->Tabs()->count(), 4);
    EXPECT_EQ(window_->Tabs()->currentIndex(), MainDialog::kKeyphraseTab);
    EXPECT_FALSE(window_->Display().rowsSelectable);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ButtonText() == "Run Link Analysis Report"; }));
    EXPECT_EQ(window_->Display().grid.Header(0), "Link Text");
    EXPECT_TRUE(window_->Display().rowsSelectable);
}

}  // namespace
}  // namespace veltrap::testing
