#include "report/ReportGrid.h"

#include "base/AsciiCase.h"
#include "base/LeadingInteger.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <iterator>
#include <limits>
#include <utility>

namespace veltrap {

namespace {

const std::string kNoText;

// Float to int toward zero, saturating instead of overflowing, so that an odd
// fraction can never produce an undefined conversion.
int TruncateToInt(float value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<float>(std::numeric_limits<int>::max())) {
        return std::numeric_limits<int>::max();
    }
    if (value <= static_cast<float>(std::numeric_limits<int>::min())) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

}  // namespace

std::int64_t CellSortKey(const std::string& text) {
    return text == "NA" ? 0 : LeadingInteger64(text);
}

ReportGrid::ReportGrid()
    : headers_(kStartColumns),
      sortable_(kStartColumns, false),
      fractions_(kStartColumns, 1.0f / kStartColumns) {}

void ReportGrid::Setup(int left, int top, int columns, int width, int visibleRows) {
    left_ = left;
    top_ = top;
    columns_ = std::max(columns, 0);
    width_ = width;
    visibleRows_ = visibleRows;
    cells_.clear();
    notes_.clear();
    rowCount_ = 0;
    headers_.assign(static_cast<std::size_t>(columns_), std::string());
    sortable_.assign(static_cast<std::size_t>(columns_), false);
    fractions_.assign(static_cast<std::size_t>(columns_), 0.0f);
    firstRow_ = 0;
    configured_ = true;
}

void ReportGrid::Resize(int width, int visibleRows) {
    width_ = width;
    visibleRows_ = visibleRows;
    SetFirstRow(firstRow_);
}

void ReportGrid::SetHeader(int column, std::string text, bool sortable) {
    if (!HasColumn(column)) {
        return;
    }
    headers_[static_cast<std::size_t>(column)] = std::move(text);
    sortable_[static_cast<std::size_t>(column)] = sortable;
}

void ReportGrid::SetFraction(int column, float fraction) {
    if (HasColumn(column)) {
        fractions_[static_cast<std::size_t>(column)] = fraction;
    }
}

int ReportGrid::AddRow() {
    cells_.resize(cells_.size() + static_cast<std::size_t>(columns_));
    if (!notes_.empty()) {
        notes_.resize(cells_.size());
    }
    return rowCount_++;
}

void ReportGrid::SetCell(int row, int column, std::string text) {
    if (HasCell(row, column)) {
        cells_[CellAt(row, column)] = std::move(text);
    }
}

void ReportGrid::SetCellNote(int row, int column, std::string note) {
    if (!HasCell(row, column)) {
        return;
    }
    if (notes_.empty()) {
        notes_.resize(cells_.size());
    }
    notes_[CellAt(row, column)] = std::move(note);
}

int ReportGrid::MaxScroll() const {
    return std::max(RowCount() - visibleRows_, 0);
}

void ReportGrid::SetFirstRow(int row) {
    firstRow_ = std::clamp(row, 0, MaxScroll());
}

void ReportGrid::SortDescending(int column) {
    SortBy(
        column, [](const std::string& cell) { return CellSortKey(cell); }, std::greater<>());
}

void ReportGrid::SortByText(int column) {
    SortBy(
        column, [](const std::string& cell) { return LowerAscii(cell); }, std::less<>());
}

template <typename KeyOf, typename Before>
void ReportGrid::SortBy(int column, KeyOf keyOf, Before before) {
    if (!HasColumn(column) || rowCount_ < 2) {
        return;
    }
    // Sorting (key, row) pairs keeps each key computed once and next to its
    // row number, and moves each cell once at the end.
    std::vector<std::pair<decltype(keyOf(std::string())), int>> order;
    order.reserve(static_cast<std::size_t>(rowCount_));
    for (int row = 0; row < rowCount_; ++row) {
        order.emplace_back(keyOf(cells_[CellAt(row, column)]), row);
    }
    std::stable_sort(order.begin(), order.end(),
                     [&before](const auto& a, const auto& b) { return before(a.first, b.first); });
    Reorder(order);
}

void ReportGrid::ReverseRows() {
    std::vector<std::pair<int, int>> order;
    order.reserve(static_cast<std::size_t>(rowCount_));
    for (int row = rowCount_ - 1; row >= 0; --row) {
        order.emplace_back(row, row);
    }
    Reorder(order);
}

template <typename Key>
void ReportGrid::Reorder(const std::vector<std::pair<Key, int>>& order) {
    const auto reordered = [&](std::vector<std::string>& texts) {
        std::vector<std::string> sorted;
        sorted.reserve(texts.size());
        for (const auto& [key, from] : order) {
            const auto begin = texts.begin() + static_cast<std::ptrdiff_t>(CellAt(from, 0));
            std::move(begin, begin + columns_, std::back_inserter(sorted));
        }
        texts = std::move(sorted);
    };
    reordered(cells_);
    if (!notes_.empty()) {
        reordered(notes_);
    }
}

const std::string& ReportGrid::Header(int column) const {
    return HasColumn(column) ? headers_[static_cast<std::size_t>(column)] : kNoText;
}

bool ReportGrid::Sortable(int column) const {
    return HasColumn(column) && sortable_[static_cast<std::size_t>(column)];
}

float ReportGrid::Fraction(int column) const {
    return HasColumn(column) ? fractions_[static_cast<std::size_t>(column)] : 0.0f;
}

const std::string& ReportGrid::Cell(int row, int column) const {
    return HasCell(row, column) ? cells_[CellAt(row, column)] : kNoText;
}

const std::string& ReportGrid::CellNote(int row, int column) const {
    return HasCell(row, column) && !notes_.empty() ? notes_[CellAt(row, column)] : kNoText;
}

int ReportGrid::NextBoundary(int boundary, int column) const {
    // The product and the sum are both taken in single precision, the precision
    // the fractions are kept in.
    const float scaled = static_cast<float>(width_) * fractions_[static_cast<std::size_t>(column)];
    return TruncateToInt(scaled + static_cast<float>(boundary));
}

std::vector<int> ReportGrid::ColumnBoundaries() const {
    std::vector<int> boundaries{left_};
    boundaries.reserve(static_cast<std::size_t>(columns_) + 1);
    for (int column = 0; column < columns_; ++column) {
        boundaries.push_back(NextBoundary(boundaries.back(), column));
    }
    return boundaries;
}

GridHit ReportGrid::HitTest(int x, int y) const {
    GridHit hit;
    // Widened so that extreme coordinates cannot overflow the edge sums.
    const std::int64_t right = std::int64_t{left_} + width_;
    const std::int64_t bottom = std::int64_t{top_} + Height();
    if (!(left_ < x && x < right && top_ < y && y < bottom)) {
        return hit;
    }
    hit.inside = true;
    hit.row = static_cast<int>((std::int64_t{y} - top_) / kRowHeight);
    int boundary = left_;
    int column = 0;
    while (boundary < x && column < columns_) {
        boundary = NextBoundary(boundary, column);
        ++column;
    }
    // Truncation can leave a pixel or two between the last edge and the
    // grid's right side; a click there belongs to the last column.
    hit.column = column - 1;
    return hit;
}

int ReportGrid::ScrollTarget(ScrollRequest request, int thumbPosition) const {
    const int p = firstRow_;
    const int m = MaxScroll();
    const int v = visibleRows_;
    switch (request) {
        case ScrollRequest::kLineUp:
            return p > 0 ? p - 1 : p;
        case ScrollRequest::kLineDown:
            return p < m ? p + 1 : p;
        case ScrollRequest::kPageUp:
            return p > v ? p - v : 0;
        case ScrollRequest::kPageDown:
            return p < m - v ? p + v : m;
        case ScrollRequest::kThumbPosition:
        case ScrollRequest::kThumbTrack:
            return std::clamp(thumbPosition, 0, m);
        case ScrollRequest::kTop:
            return 0;
        case ScrollRequest::kBottom:
            return m;
        case ScrollRequest::kEndScroll:
            return p;
    }
    return p;
}

}  // namespace veltrap
