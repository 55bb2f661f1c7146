#include "history/ChangesCsv.h"

#include "export/ExportGridToCsv.h"

namespace veltrap {

ReportGrid ChangesGrid(const RunChanges& changes) {
    ReportGrid grid;
    const int columns = static_cast<int>(RunChanges::kColumns.size());
    grid.Setup(0, 0, columns, 0, 0);
    // The page's address takes the most room; the old and new values share
    // the rest with the kind of change and the field.
    constexpr float kFractions[] = {0.36f, 0.1f, 0.12f, 0.21f, 0.21f};
    for (int column = 0; column < columns; ++column) {
        grid.SetHeader(column, RunChanges::kColumns[static_cast<std::size_t>(column)], false);
        grid.SetFraction(column, kFractions[column]);
    }
    for (const auto& cells : changes.Rows()) {
        const int row = grid.AddRow();
        for (int column = 0; column < columns; ++column) {
            grid.SetCell(row, column, cells[static_cast<std::size_t>(column)]);
        }
    }
    return grid;
}

std::string ChangesCsv(const RunChanges& changes) {
    return GridCsv(ChangesGrid(changes));
}

}  // namespace veltrap
