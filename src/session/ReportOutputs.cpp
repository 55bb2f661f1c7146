#include "session/ReportOutputs.h"

#include "export/ExportGridToCsv.h"
#include "export/ReportFolder.h"
#include "history/ChangesCsv.h"

#include <string>
#include <system_error>
#include <vector>

namespace veltrap {
namespace {

constexpr const char* kHtmlName = "report.html";
constexpr const char* kChangesName = "changes.csv";

}  // namespace

Status ReportOutputs::Prepare(const std::filesystem::path& folder,
                              const std::filesystem::path& html) {
    if (!folder.empty()) {
        if (Status prepared = PrepareReportFolder(folder, {kHtmlName, kChangesName}); !prepared) {
            return prepared;
        }
    }
    const std::filesystem::path htmlFolder = html.parent_path();
    std::error_code unseen;
    if (!htmlFolder.empty() && !std::filesystem::is_directory(htmlFolder, unseen)) {
        return Failure{"cannot write " + html.string() + ": no folder " + htmlFolder.string()};
    }
    return {};
}

Status ReportOutputs::WriteFolder(const std::filesystem::path& folder,
                                  const FinishedReport& report) {
    std::vector<ReportFile> extra = {{kHtmlName, [&report](TextSink& sink) {
                                          WriteHtmlReport(*report.result, report.facts,
                                                          report.history, sink);
                                      }}};
    std::vector<std::string> stale;
    if (report.changes) {
        extra.push_back({kChangesName, [&report](TextSink& sink) {
                             WriteGridCsv(ChangesGrid(*report.changes), sink);
                         }});
    } else {
        stale.push_back(kChangesName);
    }
    return WriteReportFolder(folder, *report.result, extra, stale);
}

Status ReportOutputs::WriteHtml(const std::filesystem::path& file, const FinishedReport& report) {
    return WriteHtmlReport(file, *report.result, report.facts, report.history);
}

Status ReportOutputs::Write(const std::filesystem::path& folder, const std::filesystem::path& html,
                            const FinishedReport& report) {
    if (!folder.empty()) {
        if (Status written = WriteFolder(folder, report); !written) {
            return written;
        }
    }
    if (!html.empty()) {
        return WriteHtml(html, report);
    }
    return {};
}

}  // namespace veltrap
