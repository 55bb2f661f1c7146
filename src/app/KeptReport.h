#pragma once

#include "engine/RunResult.h"
#include "export/HtmlReport.h"

#include <filesystem>
#include <memory>
#include <string>

namespace veltrap {

// The result of the last run that ended, completed or cancelled, with the
// facts its HTML report tells, so that the window can write it out after the
// run. Holds no widgets: the window asks where to write and tells the user.
class KeptReport {
public:
    void Keep(std::shared_ptr<const RunResult> result, HtmlReportFacts facts,
              HtmlHistory history = {});
    void Clear();
    bool Has() const { return result_ != nullptr; }

    // Writes the HTML report to path, replacing it whole. Returns "" when it
    // was written, otherwise the reason, naming the file.
    std::string SaveHtml(const std::filesystem::path& path) const;
    // Writes records.json, the four tables and report.html into folder, as
    // veltrap-report --out does, with changes.csv when the run was compared
    // with a previous one: every file or none. Returns "" when all were
    // written, otherwise the reason, naming the folder or file.
    std::string ExportAll(const std::filesystem::path& folder) const;

private:
    std::shared_ptr<const RunResult> result_;
    HtmlReportFacts facts_;
    HtmlHistory history_;
};

}  // namespace veltrap
