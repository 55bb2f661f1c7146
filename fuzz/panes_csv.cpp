// The report panes filled from fuzzed records, sorted and turned about, and
// each one exported as CSV: the first part is the keyphrase and page the
// detail views are asked for, and the rest are records. The CSV must keep its
// documented shape: a header line and one line per row, each ending in a line
// feed, as many cells as columns, and every cell the grid's text with commas,
// CRs and LFs made blanks.
#include "FuzzCheck.h"
#include "FuzzInput.h"
#include "FuzzRecords.h"
#include "export/ExportGridToCsv.h"
#include "report/KeyphrasePane.h"
#include "report/LinkStatusPane.h"
#include "report/OverviewDetailsPane.h"
#include "report/OverviewPane.h"
#include "report/PageDetailsPane.h"
#include "report/PagePane.h"

#include <string_view>
#include <vector>

using namespace veltrap;

namespace {

std::string AsCsvCell(std::string text) {
    for (char& c : text) {
        if (c == ',' || c == '\r' || c == '\n') {
            c = ' ';
        }
    }
    return text;
}

std::vector<std::string> Split(std::string_view text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    while (true) {
        const auto end = text.find(separator, start);
        if (end == std::string_view::npos) {
            pieces.emplace_back(text.substr(start));
            return pieces;
        }
        pieces.emplace_back(text.substr(start, end - start));
        start = end + 1;
    }
}

void CheckCsv(const ReportGrid& grid) {
    const std::string csv = GridCsv(grid);
    if (grid.RowCount() == 0) {
        FUZZ_CHECK(csv.empty());
        return;
    }
    FUZZ_CHECK(!csv.empty() && csv.back() == '\n');
    const std::vector<std::string> lines =
        Split(std::string_view(csv).substr(0, csv.size() - 1), '\n');
    FUZZ_CHECK(lines.size() == static_cast<std::size_t>(grid.RowCount()) + 1);
    for (std::size_t line = 0; line < lines.size(); ++line) {
        FUZZ_CHECK(lines[line].find('\r') == std::string::npos);
        const std::vector<std::string> cells = Split(lines[line], ',');
        FUZZ_CHECK(cells.size() == static_cast<std::size_t>(grid.Columns()));
        for (int column = 0; column < grid.Columns(); ++column) {
            const std::string& text =
                line == 0 ? grid.Header(column) : grid.Cell(static_cast<int>(line) - 1, column);
            FUZZ_CHECK(cells[static_cast<std::size_t>(column)] == AsCsvCell(text));
        }
    }
}

// Sorting and turning the rows about may change their order only. One column,
// picked by the input, is sorted both ways, to keep each run short.
void CheckReordered(ReportGrid& grid, std::size_t pick) {
    const int rows = grid.RowCount();
    const int column = static_cast<int>(pick % static_cast<std::size_t>(grid.Columns()));
    grid.SortDescending(column);
    grid.SortByText(column);
    grid.ReverseRows();
    FUZZ_CHECK(grid.RowCount() == rows);
    CheckCsv(grid);
}

void CheckFill(ReportGrid& grid, const PaneResult& result, std::size_t pick) {
    if (!result.filled) {
        return;
    }
    FUZZ_CHECK(result.scrollMax >= 0);
    CheckCsv(grid);
    CheckReordered(grid, pick);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzzing::FuzzInput input(data, size);
    const fuzzing::FuzzRecords records(input);
    const BacklinkList& list = records.Kept();
    const std::string& asked = input.Part(0);
    ReportGrid grid;
    CheckFill(grid, FillOverviewPane(grid, list, true), size);
    CheckFill(grid, FillKeyphrasePane(grid, list, true), size);
    CheckFill(grid, FillPagePane(grid, list, true), size);
    CheckFill(grid, FillLinkStatusPane(grid, list, records.Unlinked(), true), size);
    CheckFill(grid, FillOverviewDetails(grid, list, true, asked), size);
    CheckFill(grid, FillPageDetails(grid, list, true, asked), size);
    return 0;
}
