// Times the two slow steps that end a large run, on a run a real report
// stored: storing it in a fresh history file, and writing its report.html.
// Prints both in seconds, with the records, on one line.
//
//   stored_run_bench HISTORY SITE WORK_FOLDER

#include "engine/SiteKey.h"
#include "export/HtmlReport.h"
#include "history/HistoryStore.h"
#include "history/RecordRun.h"
#include "session/StoredReport.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iostream>

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::cerr << "usage: stored_run_bench HISTORY SITE WORK_FOLDER\n";
        return 2;
    }
    const std::filesystem::path history = argv[1];
    const std::filesystem::path work = argv[3];
    std::int64_t latest = 0;
    {
        veltrap::HistoryStore store;
        if (const veltrap::Status opened = store.OpenToRead(history); !opened) {
            std::cerr << "stored_run_bench: " << opened.reason() << "\n";
            return 1;
        }
        const auto runs = store.Runs(veltrap::MakeSiteKey(argv[2]), 1);
        if (!runs || runs->empty()) {
            std::cerr << "stored_run_bench: no stored run of " << argv[2] << "\n";
            return 1;
        }
        latest = runs->front().id;
    }
    const auto stored = veltrap::StoredReport::Load(history, latest);
    if (!stored) {
        std::cerr << "stored_run_bench: " << stored.reason() << "\n";
        return 1;
    }
    const veltrap::RunResult& result = *stored->report.result;

    auto start = std::chrono::steady_clock::now();
    const veltrap::RecordedRun recorded =
        veltrap::RecordRun(work / "bench-history.sqlite", stored->run, result);
    const double historySeconds = SecondsSince(start);
    for (const std::string& problem : recorded.problems) {
        std::cerr << "stored_run_bench: " << problem << "\n";
    }

    start = std::chrono::steady_clock::now();
    const veltrap::Status written = veltrap::WriteHtmlReport(
        work / "bench-report.html", result, stored->report.facts, stored->report.history);
    const double htmlSeconds = SecondsSince(start);
    if (!written) {
        std::cerr << "stored_run_bench: " << written.reason() << "\n";
        return 1;
    }
    std::printf("%zu %zu %.2f %.2f\n", result.records.size(), result.unlinked.size(),
                historySeconds, htmlSeconds);
    return recorded.problems.empty() ? 0 : 1;
}
