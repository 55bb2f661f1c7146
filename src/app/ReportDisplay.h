#pragma once

#include "report/ReportGrid.h"

#include <string>

namespace veltrap {

// What the main window shows of a report: the one grid every pane fills, and
// the display state beside it. Painting reads it; the panes, clicks and the
// run's events write it.
struct ReportDisplay {
    ReportGrid grid;
    // The highlighted row counted from the first visible data row; -1 for none.
    int selectedRow = -1;
    // Whether clicks on data rows select and double-clicks act.
    bool rowsSelectable = false;
    // Whether a finished run's list may be shown; panes refuse to fill without it.
    bool reportReady = false;
    // The column the rows were last sorted by, whose header shows an arrow;
    // -1 while the rows are in the order their pane gave them.
    int sortColumn = -1;
    bool sortAscending = false;
    // The one line drawn under the grid.
    std::string hintText;
};

}  // namespace veltrap
