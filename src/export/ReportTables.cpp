#include "export/ReportTables.h"

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

}  // namespace

std::vector<ReportFile> ReportTables(const BacklinkList& list,
                                     const std::vector<UnlinkedRecord>& unlinked) {
    std::vector<ReportFile> files;
    for (const Table& table : kTables) {
        ReportGrid grid;
        table.fill(grid, list, true);
        files.push_back({table.fileName, GridCsv(grid)});
    }
    ReportGrid links;
    FillLinkStatusPane(links, list, unlinked, true);
    files.push_back({"links.csv", GridCsv(links)});
    return files;
}

}  // namespace veltrap
