// Times the report fills, a header sort and the CSV export on generated runs
// of 1,000, 10,000 and 100,000 records.

#include "export/ExportGridToCsv.h"
#include "report/KeyphrasePane.h"
#include "report/OverviewDetailsPane.h"
#include "report/OverviewPane.h"
#include "report/PageDetailsPane.h"
#include "report/PagePane.h"
#include "report/ReportGrid.h"

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cctype>
#include <filesystem>
#include <iterator>
#include <map>
#include <memory>
#include <random>
#include <string>

namespace veltrap {
namespace {

std::string CaseVariant(std::string text, int variant) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (variant == 1 || (variant == 2 && (i == 0 || text[i - 1] == ' '))) {
            text[i] = static_cast<char>(std::toupper(c));
        }
    }
    return text;
}

// A run shaped like a real one: a few keyphrases and pages take most links
// (an index drawn as n * u^3 favours the low ones), a site often links more
// than once, keyphrases and urls come in several spellings of case, and some
// fields were never filled.
struct GeneratedRun {
    BacklinkList list;
    std::string commonKeyphrase;
    std::string commonPage;
};

GeneratedRun Generate(std::size_t size) {
    std::mt19937 random(static_cast<unsigned>(size));
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    const auto skewed = [&](std::size_t count) {
        const double u = unit(random);
        return static_cast<std::size_t>(static_cast<double>(count) * u * u * u);
    };
    const std::size_t keyphrases = std::max<std::size_t>(size / 20, 10);
    const std::size_t pages = std::max<std::size_t>(size / 100, 5);
    const std::size_t sites = std::max<std::size_t>(size * 7 / 10, 1);
    std::uniform_int_distribution<std::size_t> anySite(0, sites - 1);
    std::uniform_int_distribution<int> percent(0, 99);
    std::uniform_int_distribution<int> rank(1, 100);
    std::uniform_int_distribution<int> pageRank(0, 10);
    const auto rankOrNone = [&] { return percent(random) < 40 ? -1 : rank(random); };

    GeneratedRun run;
    for (std::size_t i = 0; i < size; ++i) {
        std::string url;
        if (percent(random) >= 1) {
            const std::size_t site = anySite(random);
            url = CaseVariant("http://www.linker" + std::to_string(site) + ".com/articles/" +
                                  std::to_string(site % 97) + ".html",
                              percent(random) < 10 ? 1 : 0);
        }
        run.list.Append(std::move(url));
        BacklinkRecord& record = *std::prev(run.list.end());
        if (percent(random) >= 2) {
            record.anchorText =
                CaseVariant("keyphrase " + std::to_string(skewed(keyphrases)) + " blue widgets",
                            percent(random) % 3);
        }
        record.href = "http://www.profiled-site.com/page" + std::to_string(skewed(pages)) + ".html";
        record.sitePos[RankColumn::kGoogle] = rankOrNone();
        record.sitePos[RankColumn::kYahoo] = rankOrNone();
        record.sitePos[RankColumn::kMsn] = rankOrNone();
        record.pagePos[RankColumn::kGoogle] = rankOrNone();
        record.pagePos[RankColumn::kYahoo] = rankOrNone();
        record.pagePos[RankColumn::kMsn] = rankOrNone();
        record.pageRank = percent(random) < 20 ? -1 : pageRank(random);
        record.homePageRank = percent(random) < 20 ? -1 : pageRank(random);
        record.reciprocal = percent(random) < 30;
    }
    run.commonKeyphrase = "keyphrase 0 blue widgets";
    run.commonPage = "http://www.profiled-site.com/page0.html";
    return run;
}

const GeneratedRun& RunOf(std::size_t size) {
    static std::map<std::size_t, std::unique_ptr<GeneratedRun>> runs;
    auto& run = runs[size];
    if (!run) {
        run = std::make_unique<GeneratedRun>(Generate(size));
    }
    return *run;
}

std::size_t SizeOf(const benchmark::State& state) {
    return static_cast<std::size_t>(state.range(0));
}

// The floor every fill stands on: one walk over the list that reads each
// record's url, keyphrase and page. Its growth from one size to the next shows
// what the memory hierarchy alone adds once the list outgrows the caches.
void BM_ListWalk(benchmark::State& state) {
    const GeneratedRun& run = RunOf(SizeOf(state));
    for (auto _ : state) {
        std::size_t bytes = 0;
        for (const BacklinkRecord& record : run.list) {
            for (const std::string* text : {&record.url, &record.anchorText, &record.href}) {
                bytes +=
                    text->size() + (text->empty() ? 0 : static_cast<unsigned char>(text->back()));
            }
        }
        benchmark::DoNotOptimize(bytes);
    }
    state.SetComplexityN(state.range(0));
}

void BM_OverviewFill(benchmark::State& state) {
    const GeneratedRun& run = RunOf(SizeOf(state));
    ReportGrid grid;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FillOverviewPane(grid, run.list, true));
    }
    state.SetComplexityN(state.range(0));
}

void BM_KeyphraseFill(benchmark::State& state) {
    const GeneratedRun& run = RunOf(SizeOf(state));
    ReportGrid grid;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FillKeyphrasePane(grid, run.list, true));
    }
    state.counters["rows"] = grid.RowCount();
    state.SetComplexityN(state.range(0));
}

void BM_PageFill(benchmark::State& state) {
    const GeneratedRun& run = RunOf(SizeOf(state));
    ReportGrid grid;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FillPagePane(grid, run.list, true));
    }
    state.counters["rows"] = grid.RowCount();
    state.SetComplexityN(state.range(0));
}

void BM_OverviewDetailsFill(benchmark::State& state) {
    const GeneratedRun& run = RunOf(SizeOf(state));
    ReportGrid grid;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FillOverviewDetails(grid, run.list, true, run.commonKeyphrase));
    }
    state.counters["rows"] = grid.RowCount();
    state.SetComplexityN(state.range(0));
}

void BM_PageDetailsFill(benchmark::State& state) {
    const GeneratedRun& run = RunOf(SizeOf(state));
    ReportGrid grid;
    for (auto _ : state) {
        benchmark::DoNotOptimize(FillPageDetails(grid, run.list, true, run.commonPage));
    }
    state.counters["rows"] = grid.RowCount();
    state.SetComplexityN(state.range(0));
}

// A header click on a grid with one row per record, starting each time from
// the same unsorted rows.
void BM_HeaderSort(benchmark::State& state) {
    const GeneratedRun& run = RunOf(SizeOf(state));
    ReportGrid unsorted;
    unsorted.Setup(unsorted.Left(), unsorted.Top(), 4, unsorted.Width(), unsorted.VisibleRows());
    for (const BacklinkRecord& record : run.list) {
        const int row = unsorted.AddRow();
        unsorted.SetCell(row, 0, record.url);
        unsorted.SetCell(row, 1, record.pageRank == -1 ? "NA" : std::to_string(record.pageRank));
        unsorted.SetCell(row, 2, std::to_string(record.sitePos[RankColumn::kGoogle]));
        unsorted.SetCell(row, 3, record.anchorText);
    }
    int column = 1;
    for (auto _ : state) {
        state.PauseTiming();
        ReportGrid grid = unsorted;
        state.ResumeTiming();
        grid.SortDescending(column);
        column = column == 1 ? 2 : 1;
        benchmark::ClobberMemory();
    }
    state.SetComplexityN(state.range(0));
}

void BM_ExportOverviewCsv(benchmark::State& state) {
    const GeneratedRun& run = RunOf(SizeOf(state));
    ReportGrid grid;
    FillOverviewPane(grid, run.list, true);
    const std::filesystem::path path = std::filesystem::temp_directory_path() /
                                       ("veltrap-bench-" + std::to_string(getpid()) + ".csv");
    for (auto _ : state) {
        if (const Status written = ExportGridToCsv(grid, path.string()); !written.ok()) {
            state.SkipWithError(written.reason().c_str());
            break;
        }
    }
    std::error_code ignored;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path, ignored));
    std::filesystem::remove(path, ignored);
    state.SetComplexityN(state.range(0));
}

// Every benchmark runs at the three sizes, in milliseconds, with a linear fit.
void Sizes(benchmark::internal::Benchmark* bench) {
    bench->Arg(1'000)->Arg(10'000)->Arg(100'000);
    bench->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

BENCHMARK(BM_ListWalk)->Apply(Sizes);
BENCHMARK(BM_OverviewFill)->Apply(Sizes);
BENCHMARK(BM_KeyphraseFill)->Apply(Sizes);
BENCHMARK(BM_PageFill)->Apply(Sizes);
BENCHMARK(BM_OverviewDetailsFill)->Apply(Sizes);
BENCHMARK(BM_PageDetailsFill)->Apply(Sizes);
BENCHMARK(BM_HeaderSort)->Apply(Sizes);
BENCHMARK(BM_ExportOverviewCsv)->Apply(Sizes);

}  // namespace
}  // namespace veltrap

BENCHMARK_MAIN();
