// Builds a history of 100 runs of 10,000 records each, then times what the
// programs do with it: the first opening of the database in a process, which
// checks the whole file, a later opening, listing a site's runs, and loading
// and comparing its two latest runs. Prints the figures and the size
// the database takes per 10,000 records.

#include "history/HistoryStore.h"
#include "history/RunChanges.h"

#include <unistd.h>

#include <algorithm>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <string>
#include <system_error>

namespace veltrap {
namespace {

constexpr int kRuns = 100;
constexpr int kRecords = 10000;
constexpr int kRepeats = 5;

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration elapsed) {
    return std::chrono::duration<double, std::milli>(elapsed).count();
}

// Run n of the site: most pages stay from run to run, one in a hundred is
// replaced, and one in fifty turns nofollow on alternate runs.
RunResult Generated(int run) {
    RunResult result;
    result.siteKey = "example.com";
    result.backlinkSource = "siteexplorer";
    result.backlinkCount = kRecords;
    for (int n = 0; n < kRecords; ++n) {
        const int page = n % 100 == 0 ? n + run * kRecords : n;
        const std::string url = "https://www.site" + std::to_string(page % 9973) +
                                ".example/articles/" + std::to_string(page) + "/links.html";
        result.records.Append(url);
        BacklinkRecord& record = *std::prev(result.records.end());
        record.href = "https://example.com/products/" + std::to_string(n % 50) + ".html";
        record.anchorText = "example products " + std::to_string(n % 300);
        record.pagePos[RankColumn::kGoogle] = n % 40;
        record.pagePos[RankColumn::kMsn] = n % 30;
        record.pagePos[RankColumn::kYahoo] = -1;
        record.pageRank = n % 10;
        record.homePageRank = n % 8;
        record.reciprocal = n % 3 == 0;
        record.httpStatus = 200;
        record.finalUrl = url;
        record.rel = n % 50 == 0 && run % 2 == 1 ? "nofollow" : "";
        record.linkStatus = record.rel.empty() ? "follow" : "nofollow";
        if (n % 20 == 0) {
            record.failures = {{RecordField::kPageRank, "HTTP 503"}};
        }
    }
    for (int n = 0; n < 50; ++n) {
        result.unlinked.push_back({"https://gone" + std::to_string(n) + ".example/", "gone", 404,
                                   static_cast<std::size_t>(n * 200)});
    }
    return result;
}

HistoryRun Facts() {
    HistoryRun run;
    run.siteKey = "example.com";
    run.startedAt = "2026-12-09T09:40:05Z";
    run.endedAt = "2026-12-09T09:52:41Z";
    run.backlinkPages = 200;
    run.rankingPages = 3;
    run.jobs = 16;
    run.backlinkService = "siteexplorer";
    run.authorityService = "pagerank-page";
    run.searchService = "html-search";
    return run;
}

int Bench() {
    const auto folder = std::filesystem::temp_directory_path() /
                        ("veltrap-history-bench-" + std::to_string(getpid()));
    const auto file = folder / "history.sqlite";
    std::filesystem::remove_all(folder);

    HistoryStore writer;
    if (const Status opened = writer.Open(file); !opened) {
        std::fprintf(stderr, "%s\n", opened.reason().c_str());
        return 1;
    }
    Clock::duration storing{};
    for (int run = 0; run < kRuns; ++run) {
        const RunResult result = Generated(run);
        const auto start = Clock::now();
        if (const Result<std::int64_t> stored = writer.Store(Facts(), result); !stored) {
            std::fprintf(stderr, "%s\n", stored.reason().c_str());
            return 1;
        }
        storing += Clock::now() - start;
    }
    writer = HistoryStore();

    // A process checks a file the first time it opens it to write; a new
    // name for the same file is a file this process has not checked.
    double firstOpen = 1e9;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        const auto link = folder / ("first-" + std::to_string(repeat) + ".sqlite");
        std::filesystem::create_hard_link(file, link);
        const auto start = Clock::now();
        HistoryStore store;
        if (const Status opened = store.Open(link); !opened) {
            std::fprintf(stderr, "%s\n", opened.reason().c_str());
            return 1;
        }
        firstOpen = std::min(firstOpen, Milliseconds(Clock::now() - start));
    }

    double open = 1e9;
    double list = 1e9;
    double compare = 1e9;
    std::size_t changed = 0;
    for (int repeat = 0; repeat < kRepeats; ++repeat) {
        auto start = Clock::now();
        HistoryStore store;
        if (const Status opened = store.Open(file); !opened) {
            std::fprintf(stderr, "%s\n", opened.reason().c_str());
            return 1;
        }
        open = std::min(open, Milliseconds(Clock::now() - start));

        start = Clock::now();
        const Result<std::vector<HistoryRun>> listed = store.Runs("example.com");
        list = std::min(list, Milliseconds(Clock::now() - start));
        if (!listed || listed->size() != kRuns) {
            std::fprintf(stderr, "listing failed: %s\n", listed.reason().c_str());
            return 1;
        }

        start = Clock::now();
        const Result<StoredRun> newer = store.Load(listed.value()[0].id);
        const Result<StoredRun> older = store.Load(listed.value()[1].id);
        if (!newer || !older) {
            std::fprintf(stderr, "loading failed\n");
            return 1;
        }
        const RunChanges changes = RunChanges::Compare(older->result, newer->result);
        compare = std::min(compare, Milliseconds(Clock::now() - start));
        changed = changes.pages.size();
    }

    std::error_code ignored;
    const auto bytes = std::filesystem::file_size(file, ignored) +
                       std::filesystem::file_size(file.string() + "-wal", ignored);
    std::printf("history of %d runs x %d records (best of %d)\n", kRuns, kRecords, kRepeats);
    std::printf("  store one run:              %8.1f ms (mean)\n", Milliseconds(storing) / kRuns);
    std::printf("  first open, checking it:    %8.1f ms\n", firstOpen);
    std::printf("  open the database again:    %8.2f ms\n", open);
    std::printf("  list the site's runs:       %8.2f ms\n", list);
    std::printf("  load and compare two runs:  %8.1f ms (%zu changed pages)\n", compare, changed);
    std::printf("  database size:              %8.1f MB, %.2f MB per 10,000 records\n",
                static_cast<double>(bytes) / 1e6,
                static_cast<double>(bytes) / 1e6 / (kRuns * kRecords / 10000.0));
    std::filesystem::remove_all(folder, ignored);
    return 0;
}

}  // namespace
}  // namespace veltrap

int main() {
    return veltrap::Bench();
}
