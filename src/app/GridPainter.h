#pragma once

#include "app/ReportDisplay.h"

#include <vector>

class QFont;
class QPainter;
class QRect;
class QString;

namespace veltrap {

// Draws the report grid and the hint line under it onto the client area, in
// the client area's own coordinates. While no pane has filled the grid it
// shows the frame, the bands and a short explanation instead of a table.
class GridPainter {
public:
    static constexpr int kHintLeft = 260;
    static constexpr int kHintTop = 375;
    static constexpr int kHintBottom = 435;
    // The hint's box reaches this far right plus the width of its text.
    static constexpr int kHintRightStart = 270;

    // The text shown while there is no report to show.
    static const QString& IdleText();

    explicit GridPainter(const ReportDisplay& display);

    // hintFont is the font of the surface being painted; the hint line uses
    // it. With focused, the frame is drawn in the window's ink, so that the
    // keyboard can be seen to be on the grid.
    void Paint(QPainter& painter, const QFont& hintFont, bool focused = false) const;
    // What a tooltip tells of the header or cell at a point: its whole text
    // when its column is too narrow to show all of it, and the cell's note
    // (why its lookup failed) on a line of its own; "" for text that fits
    // without a note and for points off the grid's text.
    QString TipAt(int x, int y) const;

private:
    void PaintFrameAndBands(QPainter& painter, bool focused) const;
    void PaintIdleText(QPainter& painter) const;
    void PaintSeparators(QPainter& painter, const std::vector<int>& edges) const;
    void PaintHeaders(QPainter& painter, const std::vector<int>& edges) const;
    static void PaintSortArrow(QPainter& painter, int right, int top, bool ascending);
    void PaintRows(QPainter& painter, const std::vector<int>& edges) const;
    void PaintHint(QPainter& painter, const QFont& hintFont) const;
    // Writes one cell's text in its box: centred when centreWhenFits and the
    // text is narrower than the box, otherwise from the box's left edge, and
    // never outside the box.
    static void PaintCellText(QPainter& painter, const QRect& box, const QString& text,
                              bool centreWhenFits);

    const ReportGrid& grid_;
    const ReportDisplay& display_;
};

}  // namespace veltrap
