#pragma once

#include "WindowFixture.h"
#include "engine/BacklinkRecord.h"

#include <QAbstractSlider>
#include <QImage>
#include <QPoint>

#include <string>
#include <vector>

namespace veltrap::testing {

// A window that has finished a run whose list is exactly the records given,
// with helpers that use the grid the way a user does: with the mouse, the
// scroll bar and the tabs.
class ReportFixture : public WindowFixture {
protected:
    static constexpr int kGridLeft = 22;
    static constexpr int kGridTop = 81;
    static constexpr int kGridWidth = 737;
    static constexpr int kGridBottom = kGridTop + 16 * 18;

    // Forty linking pages, each with its own keyphrase "phrase N", pointing
    // at three pages of the site in turn.
    static std::vector<BacklinkRecord> FortyRecords();

    // Opens the window and runs a report that yields these records.
    void ShowReport(std::vector<BacklinkRecord> records);

    // The middle of a row on screen: 0 is the header row, 1 the first data row.
    static QPoint ScreenRow(int row, int x = 100);
    void Click(QPoint at);
    void DoubleClick(QPoint at);
    void ChooseTab(int index);
    void Scroll(QAbstractSlider::SliderAction action, int times = 1);
    // Turns the mouse wheel over the grid; 120 is one notch away from the user.
    void Wheel(int angle);
    QImage Picture() const;

    int FirstRow() const;
    int SelectedRow() const;
    std::string Cell(int row, int column) const;
    QString TabTitles() const;
};

}  // namespace veltrap::testing
