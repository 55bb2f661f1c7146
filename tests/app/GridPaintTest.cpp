#include "ReportFixture.h"
#include "app/GridPainter.h"

#include <QColor>
#include <QRect>
#include <QTabBar>

namespace veltrap::testing {
namespace {

const QColor kLavender(197, 197, 235);
const QColor kGrey(150, 150, 150);
const QColor kBand(239, 236, 212);
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);

QColor At(const QImage& image, int x, int y) {
    return image.pixelColor(x, y);
}

// Whether anything dark, such as text, was painted inside the box.
bool HasInk(const QImage& image, const QRect& box) {
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            if (image.pixelColor(x, y).lightness() < 100) {
                return true;
            }
        }
    }
    return false;
}

class GridPaintTest : public ReportFixture {};

TEST_F(GridPaintTest, IdleGridShowsFrameBandsAndTheExplanation) {
    Open();
    const QImage picture = Picture();
    EXPECT_EQ(At(picture, 5, 200), kLavender);
    EXPECT_EQ(At(picture, 400, 460 - 30), kLavender);
    // The frame's lines are three pixels wide, centred one pixel outside the
    // grid on the left and top, and on the grid's right edge.
    for (int x : {20, 21, 22}) {
        EXPECT_EQ(At(picture, x, 200), kGrey) << x;
    }
    EXPECT_EQ(At(picture, 19, 200), kLavender);
    EXPECT_EQ(At(picture, 100, 80), kGrey);
    EXPECT_EQ(At(picture, 759, 200), kGrey);
    EXPECT_EQ(At(picture, 100, 368), kGrey);
    EXPECT_EQ(At(picture, 100, 371), kLavender);
    // The header row and every second data row are banded; the rest is white.
    EXPECT_EQ(At(picture, 40, 83), kBand);
    EXPECT_EQ(At(picture, 40, 105), kWhite);
    EXPECT_EQ(At(picture, 40, 120), kBand);
    EXPECT_EQ(At(picture, 40, 340), kBand);
    EXPECT_EQ(At(picture, 40, 360), kWhite);

    // The explanation is written in a narrow box in the grid's middle, and
    // nowhere else.
    EXPECT_TRUE(HasInk(picture, QRect(290, 131, 200, 150)));
    EXPECT_FALSE(HasInk(picture, QRect(30, 100, 250, 250)));
    EXPECT_FALSE(HasInk(picture, QRect(495, 100, 250, 250)));
    EXPECT_FALSE(HasInk(picture, QRect(260, 375, 500, 60)));
}

TEST_F(GridPaintTest, ReportShowsSeparatorsTextsSelectionAndHint) {
    ShowReport(FortyRecords());
    ChooseTab(MainDialog::kKeyphraseTab);
    Click(ScreenRow(3));
    const QImage picture = Picture();

    // The first column ends at 375: black between the headers, grey below.
    EXPECT_EQ(At(picture, 375, 90), kBlack);
    EXPECT_EQ(At(picture, 375, 200), kGrey);
    EXPECT_EQ(At(picture, 370, 105), kWhite);
    // The selected third row on screen is lavender instead of white; its
    // neighbours keep their bands.
    EXPECT_EQ(At(picture, 360, 136), kLavender);
    EXPECT_EQ(At(picture, 360, 120), kBand);
    EXPECT_EQ(At(picture, 360, 155), kBand);

    // Headers are centred in their columns; the first column's cells start at
    // its left edge.
    EXPECT_TRUE(HasInk(picture, QRect(150, 84, 100, 14)));
    EXPECT_FALSE(HasInk(picture, QRect(24, 84, 100, 14)));
    EXPECT_TRUE(HasInk(picture, QRect(24, 102, 20, 14)));
    EXPECT_FALSE(HasInk(picture, QRect(150, 102, 200, 14)));

    // The hint line starts at 260, under the grid.
    EXPECT_TRUE(HasInk(picture, QRect(260, 375, 40, 20)));
    EXPECT_FALSE(HasInk(picture, QRect(30, 375, 220, 60)));
}

TEST_F(GridPaintTest, TextWiderThanItsColumnStaysInside) {
    std::vector<BacklinkRecord> records = FortyRecords();
    const std::string wide = "http://target.example/" + std::string(200, 'w');
    for (std::size_t i = 0; i < records.size(); i += 3) {
        records[i].href = wide;
    }
    ShowReport(records);
    ChooseTab(MainDialog::kPageTab);
    ASSERT_EQ(Cell(0, 0), wide);
    const QImage picture = Picture();
    // The first column ends at 501; the count column beyond it shows only
    // its own short number, centred.
    EXPECT_TRUE(HasInk(picture, QRect(450, 102, 49, 14)));
    EXPECT_FALSE(HasInk(picture, QRect(505, 102, 100, 14)));
}

TEST_F(GridPaintTest, TabsAreLavender) {
    Open();
    QTabBar* tabs = window_->Tabs();
    const QImage picture = tabs->grab().toImage();
    for (int i = 0; i < tabs->count(); ++i) {
        const QRect tab = tabs->tabRect(i);
        EXPECT_EQ(At(picture, tab.right() - 5, tab.center().y()), kLavender) << i;
    }
    EXPECT_EQ(At(picture, picture.width() - 2, 2), kLavender);
}

}  // namespace
}  // namespace veltrap::testing
