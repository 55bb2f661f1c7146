#include "export/ExportGridToCsv.h"

#include <cstdio>
#include <memory>

namespace veltrap {

namespace {

constexpr std::size_t kMaxPathLength = 260;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// A comma would start a new cell, and a CR or LF a new row in every reader,
// so each becomes a blank.
void AppendCell(std::string& line, const std::string& cell) {
    for (const char c : cell) {
        line.push_back(c == ',' || c == '\r' || c == '\n' ? ' ' : c);
    }
}

template <typename CellAt>
bool WriteLine(std::FILE* file, int columns, std::string& line, CellAt cellAt) {
    line.clear();
    for (int column = 0; column < columns; ++column) {
        if (column > 0) {
            line.push_back(',');
        }
        AppendCell(line, cellAt(column));
    }
    line.push_back('\n');
    return std::fwrite(line.data(), 1, line.size(), file) == line.size();
}

}  // namespace

bool ExportGridToCsv(const ReportGrid& grid, const std::string& path) {
    // A NUL would silently cut the name short and write somewhere else.
    if (path.size() >= kMaxPathLength || path.find('\0') != std::string::npos) {
        return false;
    }
    FileHandle file(std::fopen(path.c_str(), "wb"));
    if (!file) {
        return false;
    }
    const int columns = grid.Columns();
    std::string line;
    bool written = true;
    if (grid.RowCount() > 0) {
        written = WriteLine(file.get(), columns, line, [&grid](int column) -> const std::string& {
            return grid.Header(column);
        });
        for (int row = 0; written && row < grid.RowCount(); ++row) {
            written = WriteLine(
                file.get(), columns, line,
                [&grid, row](int column) -> const std::string& { return grid.Cell(row, column); });
        }
    }
    // Buffered bytes only meet the disk when the file is closed, so a full disk
    // may show up there and nowhere earlier.
    return std::fclose(file.release()) == 0 && written;
}

}  // namespace veltrap
