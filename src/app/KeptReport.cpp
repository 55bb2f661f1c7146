#include "app/KeptReport.h"

#include "export/ExportGridToCsv.h"
#include "export/ReportFolder.h"

#include <utility>
#include <vector>

namespace veltrap {

void KeptReport::Keep(std::shared_ptr<const RunResult> result, HtmlReportFacts facts,
                      HtmlHistory history) {
    result_ = std::move(result);
    facts_ = std::move(facts);
    history_ = std::move(history);
}

void KeptReport::Clear() {
    result_.reset();
    facts_ = {};
    history_ = {};
}

std::string KeptReport::SaveHtml(const std::filesystem::path& path) const {
    if (!result_) {
        return "no report to save";
    }
    return WriteHtmlReport(path, *result_, facts_, history_).reason();
}

std::string KeptReport::ExportAll(const std::filesystem::path& folder) const {
    if (!result_) {
        return "no report to export";
    }
    std::vector<ReportFile> extra = {{"report.html", HtmlReport(*result_, facts_, history_)}};
    if (history_.changes.Configured()) {
        extra.push_back({"changes.csv", GridCsv(history_.changes)});
    }
    return WriteReportFolder(folder, *result_, extra).reason();
}

}  // namespace veltrap
