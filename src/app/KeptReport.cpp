#include "app/KeptReport.h"

#include "export/ReportFolder.h"

#include <utility>

namespace veltrap {

void KeptReport::Keep(std::shared_ptr<const RunResult> result, HtmlReportFacts facts) {
    result_ = std::move(result);
    facts_ = std::move(facts);
}

void KeptReport::Clear() {
    result_.reset();
    facts_ = {};
}

std::string KeptReport::SaveHtml(const std::filesystem::path& path) const {
    if (!result_) {
        return "no report to save";
    }
    std::string error;
    if (!WriteHtmlReport(path, *result_, facts_, error)) {
        return error;
    }
    return "";
}

std::string KeptReport::ExportAll(const std::filesystem::path& folder) const {
    if (!result_) {
        return "no report to export";
    }
    return WriteReportFolder(folder, *result_, {{"report.html", HtmlReport(*result_, facts_)}})
        .error;
}

}  // namespace veltrap
