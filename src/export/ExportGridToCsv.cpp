#include "export/ExportGridToCsv.h"

#include "base/FileSink.h"
#include "base/StringSink.h"

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
void WriteLine(TextSink& sink, std::string& line, int columns, CellAt cellAt) {
    line.clear();
    for (int column = 0; column < columns; ++column) {
        if (column > 0) {
            line.push_back(',');
        }
        AppendCell(line, cellAt(column));
    }
    line.push_back('\n');
    sink.Write(line);
}

}  // namespace

void WriteGridCsv(const ReportGrid& grid, TextSink& sink) {
    if (grid.RowCount() == 0) {
        return;
    }
    const int columns = grid.Columns();
    // One line's text at a time, its room kept from line to line.
    std::string line;
    WriteLine(sink, line, columns,
              [&grid](int column) -> const std::string& { return grid.Header(column); });
    for (int row = 0; row < grid.RowCount(); ++row) {
        WriteLine(sink, line, columns, [&grid, row](int column) -> const std::string& {
            return grid.Cell(row, column);
        });
    }
}

std::string GridCsv(const ReportGrid& grid) {
    StringSink sink;
    WriteGridCsv(grid, sink);
    return sink.Take();
}

Status ExportGridToCsv(const ReportGrid& grid, const std::string& path) {
    FileSink file(path);
    WriteGridCsv(grid, file);
    if (const Status written = file.Close(); !written.ok()) {
        return Failure{"cannot write " + path + ": " + written.reason()};
    }
    return {};
}

}  // namespace veltrap
