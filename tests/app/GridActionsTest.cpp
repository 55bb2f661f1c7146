#include "ReportFixture.h"
#include "app/ClientArea.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTest>
#include <QToolTip>

namespace veltrap::testing {
namespace {

class GridActionsTest : public ReportFixture {
protected:
    QWidget* Grid() const { return window_->Client(); }
    void Key(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(Grid(), key, modifiers);
    }
    void SaveShot(QWidget* widget, const char* name) {
        const QString path = QStringLiteral("/tmp/%1").arg(QLatin1String(name));
        EXPECT_TRUE(widget->grab().save(path, "PNG")) << name;
    }
};

// Columns of the keyphrase pane: "Google Rank" from 470 to 565.
constexpr int kGoogleX = 500;
constexpr int kGoogleRight = 565;

TEST_F(GridActionsTest, EachFurtherClickOnAHeaderTurnsTheOrderAroundWithAnArrow) {
    ShowReport(FortyRecords());
    ChooseTab(MainDialog::kKeyphraseTab);
    Click(ScreenRow(0, kGoogleX));
    EXPECT_EQ(Cell(0, 2), "39");
    const QPoint arrowTip(kGoogleRight - 6, kGridTop + 18 / 2);
    EXPECT_LT(qGray(Picture().pixel(arrowTip)), 80);

    Click(ScreenRow(0, kGoogleX));
    EXPECT_EQ(Cell(0, 2), "0");
    EXPECT_EQ(Cell(39, 2), "39");
    EXPECT_EQ(FirstRow(), 0);
    SaveShot(window_.get(), "veltrap-sort-arrow.png");
    Click(ScreenRow(0, kGoogleX));
    EXPECT_EQ(Cell(0, 2), "39");

    // A new pane starts in its own order, with no arrow.
    ChooseTab(MainDialog::kPageTab);
    EXPECT_EQ(window_->Display().sortColumn, -1);
}

TEST_F(GridActionsTest, KeysMoveTheSelectionAndCtrlCCopiesItsRow) {
    ShowReport(FortyRecords());
    ChooseTab(MainDialog::kKeyphraseTab);
    Click(ScreenRow(3));
    Key(Qt::Key_Down);
    EXPECT_EQ(SelectedRow(), 3);
    const int last = window_->Display().grid.MaxScroll();
    Key(Qt::Key_End);
    EXPECT_EQ(FirstRow(), last);
    EXPECT_EQ(window_->ScrollBar()->value(), last);
    EXPECT_EQ(SelectedRow(), 14);
    Key(Qt::Key_PageUp);
    EXPECT_EQ(FirstRow(), last - 1);
    EXPECT_EQ(SelectedRow(), 0);
    Key(Qt::Key_Up);
    EXPECT_EQ(FirstRow(), last - 2);
    EXPECT_EQ(SelectedRow(), 0);
    Key(Qt::Key_Home);
    EXPECT_EQ(FirstRow(), 0);
    Key(Qt::Key_PageDown);
    EXPECT_EQ(FirstRow(), 1);
    EXPECT_EQ(SelectedRow(), 14);

    Key(Qt::Key_C, Qt::ControlModifier);
    std::string row = Cell(15, 0);
    for (int column = 1; column < 5; ++column) {
        row += "\t" + Cell(15, column);
    }
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), row);
}

TEST_F(GridActionsTest, RowMenuOpensOrCopiesTheAddressAndTooltipsShowCutOffText) {
    std::vector<BacklinkRecord> records = FortyRecords();
    records[0].anchorText = std::string(60, 'w') + " the end";
    ShowReport(records);
    const QPoint row(100, ScreenRow(5).y());
    QContextMenuEvent menu(QContextMenuEvent::Mouse, row, Grid()->mapToGlobal(row));
    QApplication::sendEvent(Grid(), &menu);
    ASSERT_TRUE(window_->RowMenu()->isVisible());
    EXPECT_EQ(SelectedRow(), 4);
    window_->OpenPageAction()->trigger();
    window_->CopyAddressAction()->trigger();
    window_->RowMenu()->close();
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0].toString().toStdString(), Cell(4, 0));
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), Cell(4, 0));

    // A totals line has no address to offer.
    const QPoint totals(100, ScreenRow(1).y());
    QContextMenuEvent onTotals(QContextMenuEvent::Mouse, totals, Grid()->mapToGlobal(totals));
    QApplication::sendEvent(Grid(), &onTotals);
    EXPECT_FALSE(window_->OpenPageAction()->isEnabled());
    window_->RowMenu()->close();

    ChooseTab(MainDialog::kKeyphraseTab);
    const QPoint cut = ScreenRow(1);
    QHelpEvent help(QEvent::ToolTip, cut, Grid()->mapToGlobal(cut));
    QApplication::sendEvent(Grid(), &help);
    EXPECT_EQ(QToolTip::text().toStdString(), records[0].anchorText);
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->inherits("QTipLabel") && top->isVisible()) {
            SaveShot(top, "veltrap-tooltip.png");
        }
    }
    const QPoint fits = ScreenRow(2);
    QHelpEvent short_(QEvent::ToolTip, fits, Grid()->mapToGlobal(fits));
    QApplication::sendEvent(Grid(), &short_);
    QTRY_VERIFY(!QToolTip::isVisible());
}

TEST_F(GridActionsTest, TheGridGrowsWithTheWindowAndTheSizeIsRemembered) {
    ShowReport(FortyRecords());
    EXPECT_EQ(window_->Client()->size(), QSize(ClientArea::kWidth, ClientArea::kHeight));
    const QSize first = window_->size();
    window_->resize(first + QSize(200, 9 * 18 + 5));
    QTRY_COMPARE(window_->Client()->width(), ClientArea::kWidth + 200);
    const ReportGrid& grid = window_->Display().grid;
    EXPECT_EQ(grid.Width(), kGridWidth + 200);
    EXPECT_EQ(grid.VisibleRows(), 15 + 9);
    EXPECT_EQ(window_->ScrollBar()->geometry().left(), kGridLeft + kGridWidth + 200 + 2);
    EXPECT_EQ(window_->ScrollBar()->geometry().bottom() + 1, kGridBottom + 9 * 18);
    EXPECT_GE(window_->StatusBox()->geometry().top(), kGridBottom + 9 * 18 + 60);
    // The second of three equal columns still starts a third of the way in.
    ChooseTab(MainDialog::kLinkStatusTab);
    EXPECT_NEAR(grid.ColumnBoundaries()[1] - kGridLeft,
                grid.Fraction(0) * static_cast<float>(kGridWidth + 200), 1.0);
    SaveShot(window_.get(), "veltrap-resized.png");

    const QSize grown = window_->size();
    window_->close();
    window_.reset();
    Open();
    EXPECT_EQ(window_->size(), grown);
}

}  // namespace
}  // namespace veltrap::testing
