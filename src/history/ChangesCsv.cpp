#include "history/ChangesCsv.h"

#include "export/ExportGridToCsv.h"
#include "report/ReportGrid.h"

namespace veltrap {

std::string ChangesCsv(const RunChanges& changes) {
    ReportGrid grid;
    const int columns = static_cast<int>(RunChanges::kColumns.size());
    grid.Setup(0, 0, columns, 0, 0);
    for (int column = 0; column < columns; ++column) {
        grid.SetHeader(column, RunChanges::kColumns[static_cast<std::size_t>(column)], false);
    }
    for (const auto& cells : changes.Rows()) {
        const int row = grid.AddRow();
        for (int column = 0; column < columns; ++column) {
            grid.SetCell(row, column, cells[static_cast<std::size_t>(column)]);
        }
    }
    return GridCsv(grid);
}

}  // namespace veltrap
