#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace veltrap {

// Where a point falls on the grid. row follows the click rules: 0 is the header
// row and r >= 1 is visible data row r - 1, so the list row under a data click
// is FirstRow() + row - 1.
struct GridHit {
    bool inside = false;
    int row = -1;
    int column = -1;
};

// The requests a vertical scroll bar sends. kEndScroll stands for every request
// that leaves the position as it is.
enum class ScrollRequest {
    kLineUp,
    kLineDown,
    kPageUp,
    kPageDown,
    kThumbPosition,
    kThumbTrack,
    kTop,
    kBottom,
    kEndScroll,
};

// The one report table that every pane fills and the export writes. It holds
// text only and knows its own geometry, so painting, clicks and scrolling can
// all be decided without a window. The program has exactly one; the window owns
// it and hands it to whoever fills or reads it.
class ReportGrid {
public:
    static constexpr int kRowHeight = 18;
    // The data rows shown before anything changes the grid's size.
    static constexpr int kStartVisibleRows = 15;

    ReportGrid();

    // Drops every row and header and starts over with columns empty headers,
    // no sortable column and all fractions 0; the caller sets each column.
    void Setup(int left, int top, int columns, int width, int visibleRows);
    void SetHeader(int column, std::string text, bool sortable);
    void SetFraction(int column, float fraction);
    // Appends a row of empty cells and returns its 0-based index.
    int AddRow();
    // Stores text in an existing cell; a row or column that does not exist is ignored.
    void SetCell(int row, int column, std::string text);
    // Attaches a note to an existing cell, told beside its text where the
    // grid is shown (a failed lookup's service and reason, for one); the
    // note moves with its row when the rows are sorted.
    void SetCellNote(int row, int column, std::string note);
    // Gives the grid a new width and number of visible rows, keeping what it
    // holds; the first shown row stays unless it would leave rows unshown.
    void Resize(int width, int visibleRows);
    int MaxScroll() const;
    // Moves the first shown row, clamped to 0..MaxScroll().
    void SetFirstRow(int row);
    // Orders the rows by the leading integer of the column's cells, largest
    // first; rows with equal keys keep their order.
    void SortDescending(int column);
    // Orders the rows by the column's text, A to Z with ASCII letters folded;
    // rows with equal keys keep their order.
    void SortByText(int column);
    // Turns the order of the rows around, last row first.
    void ReverseRows();
    // Marks the grid as having nothing to show (or, again, something).
    void SetConfigured(bool configured) { configured_ = configured; }

    int Left() const { return left_; }
    int Top() const { return top_; }
    int Width() const { return width_; }
    int RowCount() const { return rowCount_; }
    int VisibleRows() const { return visibleRows_; }
    int Columns() const { return columns_; }
    int FirstRow() const { return firstRow_; }
    bool Configured() const { return configured_; }
    // Accessors of a column or cell that does not exist give "", false or 0.
    const std::string& Header(int column) const;
    bool Sortable(int column) const;
    float Fraction(int column) const;
    const std::string& Cell(int row, int column) const;
    // "" for a cell without a note.
    const std::string& CellNote(int row, int column) const;

    // Height of the whole grid, header row included.
    int Height() const { return visibleRows_ * kRowHeight + kRowHeight; }
    // The running column edges b(0) .. b(Columns()): b(0) is Left(), and each
    // next edge is the previous one plus Width() times the column's fraction,
    // truncated at every step so that the errors add up from left to right.
    std::vector<int> ColumnBoundaries() const;
    GridHit HitTest(int x, int y) const;
    // The first shown row that a scroll request leads to; thumbPosition is only
    // read for the thumb requests.
    int ScrollTarget(ScrollRequest request, int thumbPosition = 0) const;

private:
    // Before any pane fills it, the grid has five equal columns.
    static constexpr int kStartColumns = 5;

    bool HasColumn(int column) const { return column >= 0 && column < columns_; }
    bool HasCell(int row, int column) const {
        return row >= 0 && row < rowCount_ && HasColumn(column);
    }
    std::size_t CellAt(int row, int column) const {
        return static_cast<std::size_t>(row) * static_cast<std::size_t>(columns_) +
               static_cast<std::size_t>(column);
    }
    int NextBoundary(int boundary, int column) const;
    // Stable-sorts the rows by keyOf of the column's cells, before telling
    // which key comes first.
    template <typename KeyOf, typename Before>
    void SortBy(int column, KeyOf keyOf, Before before);
    // Puts the rows in the order of the pairs' row numbers.
    template <typename Key>
    void Reorder(const std::vector<std::pair<Key, int>>& order);

    // Row after row, columns_ cells each: one allocation for the whole table
    // instead of one per row.
    std::vector<std::string> cells_;
    // The cells' notes in the same order, or empty while no cell has one, as
    // most grids have none.
    std::vector<std::string> notes_;
    int rowCount_ = 0;
    std::vector<std::string> headers_;
    std::vector<bool> sortable_;
    std::vector<float> fractions_;
    int left_ = 22;
    int top_ = 81;
    int width_ = 737;
    int visibleRows_ = kStartVisibleRows;
    int columns_ = kStartColumns;
    int firstRow_ = 0;
    bool configured_ = false;
};

// The sort key of a cell: its leading decimal integer after any white space,
// with an optional sign; "NA" and text without a number give 0. Values beyond
// 64 bits saturate.
std::int64_t CellSortKey(const std::string& text);

}  // namespace veltrap
