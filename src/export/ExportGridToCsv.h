#pragma once

#include "report/ReportGrid.h"

#include <string>

namespace veltrap {

// Writes the grid as comma-separated text to path, replacing any file there:
// the header line, then every row in order, each line ending in a single line
// feed. Commas, CRs and LFs inside a cell become blanks and nothing is
// quoted, so every row stays one line in any reader. A grid
// without rows gives an empty file. Returns true only when every byte reached
// the file; a path of 260 bytes or more, or one holding a NUL, is refused.
bool ExportGridToCsv(const ReportGrid& grid, const std::string& path);

}  // namespace veltrap
