#include "export/WriteReportTables.h"

#include "export/ExportGridToCsv.h"
#include "report/KeyphrasePane.h"
#include "report/OverviewPane.h"
#include "report/PagePane.h"
#include "report/ReportGrid.h"

namespace veltrap {

namespace {

using PaneFill = PaneResult (*)(ReportGrid&, const BacklinkList&, bool);

struct Table {
    const char* fileName;
    PaneFill fill;
};

constexpr Table kTables[] = {
    {"overview.csv", &FillOverviewPane},
    {"keyphrases.csv", &FillKeyphrasePane},
    {"pages.csv", &FillPagePane},
};

}  // namespace

bool WriteReportTables(const BacklinkList& list, const std::filesystem::path& folder,
                       std::string& error) {
    for (const Table& table : kTables) {
        ReportGrid grid;
        table.fill(grid, list, true);
        const std::string path = (folder / table.fileName).string();
        if (!ExportGridToCsv(grid, path)) {
            error = "cannot write " + path;
            return false;
        }
    }
    return true;
}

}  // namespace veltrap
