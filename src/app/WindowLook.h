#pragma once

#include <QColor>
#include <QFont>

namespace veltrap {

// The colours, pens and fonts the main window paints with. The fonts ask for
// Arial and fall back to Liberation Sans, which has the same metrics. Their
// heights are cell heights in pixels, ascent and descent together, as the
// grid's rows were laid out for: a 14 pixel font leaves a letter's descender
// inside the 15 pixels a row has below its text's top.
class WindowLook {
public:
    // Every pen of the grid is this wide.
    static constexpr int kPenWidth = 3;

    // The window's background, the tabs and the selected row.
    static QColor Lavender() { return {197, 197, 235}; }
    // The grid's frame and the separators between data cells.
    static QColor Grey() { return {150, 150, 150}; }
    // Every second row of the grid, the header row included.
    static QColor Band() { return {239, 236, 212}; }
    // The text of labels and edit boxes.
    static QColor Ink() { return {40, 40, 100}; }
    // The text of a cell whose lookup failed, so that it stands apart from
    // one whose value was not found.
    static QColor FailedInk() { return {170, 20, 20}; }

    // The text shown while there is no report.
    static QFont IdleFont() { return Arial(16, QFont::Normal); }
    static QFont BodyFont() { return Arial(14, QFont::Light); }
    static QFont HeaderFont() { return Arial(14, QFont::Bold); }

private:
    static QFont Arial(int cellHeight, QFont::Weight weight);
};

}  // namespace veltrap
