#pragma once

#include "base/Result.h"
#include "base/TextSink.h"
#include "report/ReportGrid.h"

#include <string>

namespace veltrap {

// The grid as comma-separated text: the header line, then every row in
// order, each line ending in a single line feed. Commas, CRs and LFs inside a
// cell become blanks and nothing is quoted, so every row stays one line in
// any reader. A grid without rows gives no text at all. Written a line at a
// time.
void WriteGridCsv(const ReportGrid& grid, TextSink& sink);
// The same, whole.
std::string GridCsv(const ReportGrid& grid);

// Writes GridCsv(grid) to path, replacing any file there. Succeeds only when
// every byte reached the file; how long a path may be is for the system to
// say, and a path holding a NUL is refused. A failure names the file and
// gives the system's reason.
Status ExportGridToCsv(const ReportGrid& grid, const std::string& path);

}  // namespace veltrap
