#include "export/ReportTables.h"

#include "base/StringSink.h"
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

std::string ReportFile::Bytes() const {
    StringSink sink;
    if (write) {
        write(sink);
    }
    return sink.Take();
}

std::vector<ReportFile> ReportTables(const BacklinkList& list,
                                     const std::vector<UnlinkedRecord>& unlinked) {
    std::vector<ReportFile> files;
    for (const Table& table : kTables) {
        files.push_back({table.fileName, [&list, fill = table.fill](TextSink& sink) {
                             ReportGrid grid;
                             fill(grid, list, true);
                             WriteGridCsv(grid, sink);
                         }});
    }
    files.push_back({"links.csv", [&list, &unlinked](TextSink& sink) {
                         ReportGrid links;
                         FillLinkStatusPane(links, list, unlinked, true);
                         WriteGridCsv(links, sink);
                     }});
    return files;
}

}  // namespace veltrap
