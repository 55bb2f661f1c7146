#include "export/ExportGridToCsv.h"

#include "base/WriteBytesToFile.h"

namespace veltrap {

namespace {

// A comma would start a new cell, and a CR or LF a new row in every reader,
// so each becomes a blank.
void AppendCell(std::string& text, const std::string& cell) {
    for (const char c : cell) {
        text.push_back(c == ',' || c == '\r' || c == '\n' ? ' ' : c);
    }
}

template <typename CellAt>
void AppendLine(std::string& text, int columns, CellAt cellAt) {
    for (int column = 0; column < columns; ++column) {
        if (column > 0) {
            text.push_back(',');
        }
        AppendCell(text, cellAt(column));
    }
    text.push_back('\n');
}

}  // namespace

std::string GridCsv(const ReportGrid& grid) {
    std::string text;
    if (grid.RowCount() == 0) {
        return text;
    }
    const int columns = grid.Columns();
    AppendLine(text, columns,
               [&grid](int column) -> const std::string& { return grid.Header(column); });
    for (int row = 0; row < grid.RowCount(); ++row) {
        AppendLine(text, columns, [&grid, row](int column) -> const std::string& {
            return grid.Cell(row, column);
        });
    }
    return text;
}

Status ExportGridToCsv(const ReportGrid& grid, const std::string& path) {
    if (const Status written = WriteBytesToFile(path, GridCsv(grid)); !written.ok()) {
        return Failure{"cannot write " + path + ": " + written.reason()};
    }
    return {};
}

}  // namespace veltrap
