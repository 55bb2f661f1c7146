#include "app/GridPainter.h"

#include "app/WindowLook.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
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

QString Text(const std::string& bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

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

void GridPainter::Paint(QPainter& painter, const QFont& hintFont) const {
    painter.save();
    painter.setBackgroundMode(Qt::TransparentMode);
    PaintFrameAndBands(painter);
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

void GridPainter::PaintFrameAndBands(QPainter& painter) const {
    const int left = grid_.Left();
    const int top = grid_.Top();
    const int right = left + grid_.Width();
    const int bottom = top + grid_.Height();

    QPen frame(WindowLook::Grey(), WindowLook::kPenWidth);
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
        const QRect box =
            Box(edges[column] + kTextInset, top + kTextDrop, edges[column + 1], top + kRow);
        PaintCellText(painter, box, Text(grid_.Header(column)), true);
    }
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
            PaintCellText(painter, box, Text(grid_.Cell(row, column)), column != 0);
        }
    }
}

void GridPainter::PaintHint(QPainter& painter, const QFont& hintFont) const {
    if (display_.hintText.empty()) {
        return;
    }
    const QString hint = Text(display_.hintText);
    const int width = QFontMetrics(hintFont).horizontalAdvance(hint);
    painter.save();
    painter.setFont(hintFont);
    painter.setPen(Qt::black);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(Box(kHintLeft, kHintTop, kHintRightStart + width, kHintBottom),
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
