#include "export/WriteReportTables.h"

#include "export/ExportGridToCsv.h"
#include "report/KeyphrasePane.h"
#include "report/LinkStatusPane.h"
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

bool WriteGrid(const ReportGrid& grid, const std::filesystem::path& path, std::string& error) {
    if (!ExportGridToCsv(grid, path.string())) {
        error = "cannot write " + path.string();
        return false;
    }
    return true;
}

}  // namespace

bool WriteReportTables(const BacklinkList& list, const std::vector<UnlinkedRecord>& unlinked,
                       const std::filesystem::path& folder, std::string& error) {
    for (const Table& table : kTables) {
        ReportGrid grid;
        table.fill(grid, list, true);
        if (!WriteGrid(grid, folder / table.fileName, error)) {
            return false;
        }
    }
    ReportGrid links;
    FillLinkStatusPane(links, list, unlinked, true);
    return WriteGrid(links, folder / "links.csv", error);
}

}  // namespace veltrap
