#include "report/PaneSupport.h"

#include <utility>

namespace veltrap {

std::string NumberOrNa(std::int32_t value) {
    return value == -1 ? "NA" : std::to_string(value);
}

void SetLookedUpCell(ReportGrid& grid, int row, int column, std::string text,
                     const BacklinkRecord& record, RecordField field,
                     const LookupServices& services) {
    grid.SetCell(row, column, std::move(text));
    if (std::string note = services.FailureNote(record, field); !note.empty()) {
        grid.SetCellNote(row, column, std::move(note));
    }
}

void StartPane(ReportGrid& grid, int columns) {
    grid.Setup(grid.Left(), grid.Top(), columns, grid.Width(), grid.VisibleRows());
}

PaneResult FinishPane(const ReportGrid& grid, std::string hintText, std::string tabTitle) {
    PaneResult result;
    result.filled = true;
    result.scrollMax = grid.MaxScroll();
    result.scrollEnabled = result.scrollMax >= 1;
    result.hintText = std::move(hintText);
    result.tabTitle = std::move(tabTitle);
    return result;
}

}  // namespace veltrap
