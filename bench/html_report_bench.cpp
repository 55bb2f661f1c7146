// Times writing the HTML report of generated runs of 1,000 and 10,000 records,
// the whole page built in memory and written to a file. With --write FILE N it
// only writes the report of a generated run of N records to FILE, for timing
// how long a browser takes to open it (bench/html-open-speed).

#include "export/HtmlReport.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

namespace veltrap {
namespace {

// Keyphrases and pages repeat as in a real run, ranks and authorities are
// spread over their ranges, and about a tenth of the pages were removed.
RunResult Generate(std::size_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> rank(-1, 80);
    std::uniform_int_distribution<int> authority(-1, 10);
    const char* statuses[] = {"follow", "follow", "follow", "nofollow", "ugc", "sponsored"};
    RunResult outcome;
    outcome.siteKey = "profiled-site.com";
    outcome.backlinkSource = "siteexplorer";
    for (std::size_t i = 0; i < size; ++i) {
        const std::string site = std::to_string(i * 7 % (size / 2 + 1));
        if (percent(random) < 10) {
            outcome.unlinked.push_back({"http://www.linker" + site + ".com/gone.html", "gone", 404,
                                        outcome.records.size()});
            continue;
        }
        outcome.records.Append("http://www.linker" + site + ".com/articles/" +
                               std::to_string(i % 97) + ".html");
        BacklinkRecord& record = *std::prev(outcome.records.end());
        const int phrase = percent(random) * percent(random) / 20;
        record.anchorText = "keyphrase " + std::to_string(phrase) + " blue widgets";
        record.href = "http://www.profiled-site.com/page" + std::to_string(phrase % 40) + ".html";
        record.sitePos[RankColumn::kGoogle] = rank(random);
        record.sitePos[RankColumn::kYahoo] = rank(random);
        record.sitePos[RankColumn::kMsn] = rank(random);
        record.pageRank = authority(random);
        record.homePageRank = authority(random);
        record.reciprocal = percent(random) < 30;
        record.httpStatus = 200;
        record.linkStatus = statuses[static_cast<std::size_t>(percent(random)) % 6];
    }
    outcome.backlinkCount = static_cast<std::int32_t>(size);
    return outcome;
}

void BM_HtmlReport(benchmark::State& state) {
    const RunResult outcome = Generate(static_cast<std::size_t>(state.range(0)));
    const HtmlReportFacts facts{"2026-01-01 00:00 UTC",
                                {"Authority: pagerank-page", "Search: htmlsearch"},
                                {"Backlink pages: 200"}};
    const auto path = std::filesystem::temp_directory_path() /
                      ("veltrap-bench-" + std::to_string(::getpid()) + ".html");
    std::size_t bytes = 0;
    for (auto _ : state) {
        if (const Status written = WriteHtmlReport(path, outcome, facts); !written.ok()) {
            state.SkipWithError(written.reason().c_str());
            break;
        }
        bytes = std::filesystem::file_size(path);
    }
    std::filesystem::remove(path);
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_HtmlReport)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

int WriteOne(const char* path, const char* records) {
    const HtmlReportFacts facts{"2026-01-01 00:00 UTC", {"Authority: pagerank-page"}, {}};
    if (const Status written = WriteHtmlReport(path, Generate(std::stoul(records)), facts);
        !written.ok()) {
        std::fprintf(stderr, "%s\n", written.reason().c_str());
        return 1;
    }
    return 0;
}

}  // namespace
}  // namespace veltrap

int main(int argc, char** argv) {
    if (argc == 4 && std::string_view(argv[1]) == "--write") {
        return veltrap::WriteOne(argv[2], argv[3]);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
