#include "ReportFixture.h"

#include <QScrollBar>

namespace veltrap::testing {
namespace {

class GridScrollTest : public ReportFixture {
protected:
    // Where the grid's first shown row and the scroll bar's thumb are, which
    // must always agree.
    int Position() const {
        EXPECT_EQ(window_->ScrollBar()->value(), FirstRow());
        return FirstRow();
    }
};

TEST_F(GridScrollTest, ScrollBarRequestsMoveByTheGridsRule) {
    ShowReport(FortyRecords());
    ChooseTab(MainDialog::kKeyphraseTab);
    ASSERT_EQ(window_->ScrollBar()->maximum(), 25);

    Scroll(QAbstractSlider::SliderSingleStepSub);
    EXPECT_EQ(Position(), 0);
    Scroll(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Position(), 15);
    Scroll(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Position(), 25);
    Scroll(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Position(), 25);
    Scroll(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(Position(), 10);
    Scroll(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(Position(), 0);
    Scroll(QAbstractSlider::SliderSingleStepAdd, 2);
    EXPECT_EQ(Position(), 2);
    Scroll(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(Position(), 25);
    Scroll(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(Position(), 0);
    // Dragging the thumb.
    window_->ScrollBar()->setSliderPosition(7);
    EXPECT_EQ(Position(), 7);
    EXPECT_EQ(Cell(7, 0), "phrase 7");
}

TEST_F(GridScrollTest, WheelScrollsThreeRowsANotchWithinTheRange) {
    ShowReport(FortyRecords());
    ChooseTab(MainDialog::kKeyphraseTab);
    Wheel(-120);
    EXPECT_EQ(Position(), 3);
    Wheel(-240);
    EXPECT_EQ(Position(), 9);
    Wheel(120);
    EXPECT_EQ(Position(), 6);
    // Half notches add up; a lone one does nothing.
    Wheel(-60);
    EXPECT_EQ(Position(), 6);
    Wheel(-60);
    EXPECT_EQ(Position(), 9);
    Wheel(-120 * 20);
    EXPECT_EQ(Position(), 25);
    Wheel(120 * 20);
    EXPECT_EQ(Position(), 0);
}

TEST_F(GridScrollTest, ScrollBarIsOffUntilThereIsMoreThanAPage) {
    std::vector<BacklinkRecord> records = FortyRecords();
    records.resize(11);
    ShowReport(records);
    // Four summary rows and eleven addresses fit on one page.
    EXPECT_EQ(window_->Display().grid.RowCount(), 15);
    EXPECT_FALSE(window_->ScrollBar()->isEnabled());
    Wheel(-120);
    EXPECT_EQ(FirstRow(), 0);

    records = FortyRecords();
    records.resize(12);
    ShowReport(records);
    EXPECT_TRUE(window_->ScrollBar()->isEnabled());
    EXPECT_EQ(window_->ScrollBar()->maximum(), 1);
    Wheel(-120);
    EXPECT_EQ(Position(), 1);
}

}  // namespace
}  // namespace veltrap::testing
