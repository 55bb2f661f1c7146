#include "app/GridPainter.h"

#include "app/ShownText.h"
#include "app/WindowLook.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QPolygon>
#include <QRect>
#include <QString>

#include <cstddef>

namespace veltrap {
namespace {

constexpr int kRow = ReportGrid::kRowHeight;
// The idle text's box is this far either side of the grid's middle, and
// starts this far below the grid's top.
constexpr int kIdleHalfWidth = 100;
constexpr int kIdleTopGap = 50;
constexpr int kIdleHeight = 450;
// Text sits this far inside the left edge of its column, and this far below
// the top of its row.
constexpr int kTextInset = 2;
constexpr int kTextDrop = 3;
// The sort arrow's size, and how far its middle stands left of the header's
// right edge.
constexpr int kArrowHalfWidth = 3;
constexpr int kArrowHeight = 5;
constexpr int kArrowInset = 6;
// The room the arrow takes from its header's text.
constexpr int kArrowRoom = 2 * kArrowInset;

// A box from its edges, right and bottom excluded.
QRect Box(int left, int top, int right, int bottom) {
    return {left, top, right - left, bottom - top};
}

}  // namespace

const QString& GridPainter::IdleText() {
    static const QString text = QStringLiteral(
        "Select a website from the dropdown box or enter in any website of your choice and "
        "click the button to generate a report. Once the report is completed, the report will "
        "automatically display.");
    return text;
}

GridPainter::GridPainter(const ReportDisplay& display) : grid_(display.grid), display_(display) {}

void GridPainter::Paint(QPainter& painter, const QFont& hintFont, bool focused) const {
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    PaintFrameAndBands(painter, focused);
    if (!grid_.Configured()) {
        PaintIdleText(painter);
    } else {
        const std::vector<int> edges = grid_.ColumnBoundaries();
        PaintSeparators(painter, edges);
        PaintHeaders(painter, edges);
        PaintRows(painter, edges);
    }
    painter.restore();
    PaintHint(painter, hintFont);
}

QString GridPainter::TipAt(int x, int y) const {
    const GridHit hit = grid_.HitTest(x, y);
    if (!grid_.Configured() || !hit.inside) {
        return {};
    }
    const int row = grid_.FirstRow() + hit.row - 1;
    if (hit.row > 0 && row >= grid_.RowCount()) {
        return {};
    }
    const QString text =
        ShownText(hit.row == 0 ? grid_.Header(hit.column) : grid_.Cell(row, hit.column));
    const std::vector<int> edges = grid_.ColumnBoundaries();
    const int room = edges[hit.column + 1] - edges[hit.column] - kTextInset;
    const QFont font = hit.row == 0 ? WindowLook::HeaderFont() : WindowLook::BodyFont();
    const QString cutOff = QFontMetrics(font).horizontalAdvance(text) > room ? text : QString();
    const QString note = hit.row == 0 ? QString() : ShownText(grid_.CellNote(row, hit.column));
    if (note.isEmpty() || cutOff.isEmpty()) {
        return cutOff + note;
    }
    return cutOff + QLatin1Char('\n') + note;
}

void GridPainter::PaintFrameAndBands(QPainter& painter, bool focused) const {
    const int left = grid_.Left();
    const int top = grid_.Top();
    const int right = left + grid_.Width();
    const int bottom = top + grid_.Height();

    QPen frame(focused ? WindowLook::Ink() : WindowLook::Grey(), WindowLook::kPenWidth);
    frame.setJoinStyle(Qt::MiterJoin);
    painter.setPen(frame);
    painter.setBrush(Qt::white);
    // The frame's lines run one pixel outside the grid on the left, top and
    // right, and along the grid's last pixel row at the bottom.
    painter.drawRect(QRect(left - 1, top - 1, right - left + 1, bottom - top));

    for (int band = 0; band < grid_.VisibleRows() + 1; band += 2) {
        painter.fillRect(Box(left + 1, top + kRow * band, right - 1, top + kRow * band + kRow),
                         WindowLook::Band());
    }
    const int selected = display_.selectedRow;
    if (selected != -1) {
        const int rowTop = top + kRow + kRow * selected;
        painter.fillRect(Box(left + 1, rowTop, right - 1, rowTop + kRow), WindowLook::Lavender());
    }
}

void GridPainter::PaintIdleText(QPainter& painter) const {
    const int middle = grid_.Left() + grid_.Width() / 2;
    const QRect box = Box(middle - kIdleHalfWidth, grid_.Top() + kIdleTopGap,
                          middle + kIdleHalfWidth, grid_.Top() + kIdleTopGap + kIdleHeight);
    painter.setFont(WindowLook::IdleFont());
    painter.setPen(Qt::black);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, IdleText());
}

void GridPainter::PaintSeparators(QPainter& painter, const std::vector<int>& edges) const {
    const int top = grid_.Top();
    const int bottom = top + grid_.Height();
    QPen header(Qt::black, WindowLook::kPenWidth);
    header.setCapStyle(Qt::FlatCap);
    QPen body(WindowLook::Grey(), WindowLook::kPenWidth);
    body.setCapStyle(Qt::FlatCap);
    for (std::size_t k = 1; k + 1 < edges.size(); ++k) {
        painter.setPen(header);
        painter.drawLine(edges[k], top, edges[k], top + kRow);
        painter.setPen(body);
        painter.drawLine(edges[k], top + kRow, edges[k], bottom);
    }
}

void GridPainter::PaintHeaders(QPainter& painter, const std::vector<int>& edges) const {
    painter.setFont(WindowLook::HeaderFont());
    painter.setPen(Qt::black);
    const int top = grid_.Top();
    for (int column = 0; column < grid_.Columns(); ++column) {
        // The sorted column's header gives the right end to its arrow.
        const int right = edges[column + 1] - (column == display_.sortColumn ? kArrowRoom : 0);
        const QRect box = Box(edges[column] + kTextInset, top + kTextDrop, right, top + kRow);
        PaintCellText(painter, box, ShownText(grid_.Header(column)), true);
    }
    if (display_.sortColumn >= 0 && display_.sortColumn < grid_.Columns()) {
        PaintSortArrow(painter, edges[display_.sortColumn + 1], top, display_.sortAscending);
    }
}

void GridPainter::PaintSortArrow(QPainter& painter, int right, int top, bool ascending) {
    // A small triangle at the right end of the header, pointing up for an
    // ascending order and down for a descending one.
    const int middle = right - kArrowInset;
    const int upper = top + (kRow - kArrowHeight) / 2;
    const int lower = upper + kArrowHeight;
    const int tip = ascending ? upper : lower;
    const int base = ascending ? lower : upper;
    const QPolygon arrow({QPoint(middle - kArrowHalfWidth, base),
                          QPoint(middle + kArrowHalfWidth, base), QPoint(middle, tip)});
    painter.save();
    painter.setPen(Qt::NoPen);
    painter.setBrush(Qt::black);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.drawPolygon(arrow);
    painter.restore();
}

void GridPainter::PaintRows(QPainter& painter, const std::vector<int>& edges) const {
    painter.setFont(WindowLook::BodyFont());
    painter.setPen(Qt::black);
    const int top = grid_.Top();
    for (int shown = 0; shown < grid_.VisibleRows(); ++shown) {
        const int row = grid_.FirstRow() + shown;
        if (row >= grid_.RowCount()) {
            break;
        }
        const int rowTop = top + kRow + kRow * shown;
        for (int column = 0; column < grid_.Columns(); ++column) {
            const QRect box = Box(edges[column] + kTextInset, rowTop + kTextDrop, edges[column + 1],
                                  rowTop + kRow);
            const bool failed = !grid_.CellNote(row, column).empty();
            painter.setPen(failed ? WindowLook::FailedInk() : QColor(Qt::black));
            PaintCellText(painter, box, ShownText(grid_.Cell(row, column)), column != 0);
        }
    }
}

void GridPainter::PaintHint(QPainter& painter, const QFont& hintFont) const {
    if (display_.hintText.empty()) {
        return;
    }
    const QString hint = ShownText(display_.hintText);
    const int width = QFontMetrics(hintFont).horizontalAdvance(hint);
    painter.save();
    painter.setFont(hintFont);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::TransparentMode);
    // The hint stays under the grid however many rows the window makes room for.
    const int drop = (grid_.VisibleRows() - ReportGrid::kStartVisibleRows) * kRow;
    painter.drawText(Box(kHintLeft, kHintTop + drop, kHintRightStart + width, kHintBottom + drop),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, hint);
    painter.restore();
}

void GridPainter::PaintCellText(QPainter& painter, const QRect& box, const QString& text,
                                bool centreWhenFits) {
    if (text.isEmpty() || box.width() <= 0) {
        return;
    }
    const int width = painter.fontMetrics().horizontalAdvance(text);
    int left = box.left();
    if (centreWhenFits && width < box.width()) {
        left += (box.width() - width) / 2;
    }
    painter.save();
    painter.setClipRect(box);
    painter.drawText(QRect(left, box.top(), box.right() + 1 - left, box.height()),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, text);
    painter.restore();
}

}  // namespace veltrap
