// Times reading exported backlink files: a plain list of 1,000,000 addresses,
// the same count of rows that repeat 1,000 addresses, a 1,000,000-row CSV
// table and a 100,000-row UTF-16 table with every field quoted. Each reports
// the addresses kept and the process's peak memory so far.

#include "services/backlinkimport/BacklinkImport.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

namespace veltrap {
namespace {

std::filesystem::path BenchFile(const std::string& name) {
    return std::filesystem::temp_directory_path() /
           ("veltrap-import-bench-" + std::to_string(getpid()) + "-" + name);
}

std::string Address(std::size_t n) {
    return "https://www.site" + std::to_string(n % 9973) + ".example/articles/" +
           std::to_string(n) + "/links.html";
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void TimeImport(benchmark::State& state, const std::filesystem::path& path) {
    std::size_t kept = 0;
    for (auto _ : state) {
        const auto outcome = BacklinkImport::Read({path.string()});
        if (!outcome.ok()) {
            state.SkipWithError(outcome.reason().c_str());
            break;
        }
        kept = outcome.value()->addresses.size();
        benchmark::DoNotOptimize(kept);
    }
    state.counters["addresses"] = static_cast<double>(kept);
    state.counters["file_MiB"] =
        static_cast<double>(std::filesystem::file_size(path)) / (1024.0 * 1024.0);
    state.counters["peak_rss_MiB"] = PeakMegabytes();
    std::filesystem::remove(path);
}

// Run first, so that its peak memory is its own: the rows repeat a few
// addresses, and the memory follows the addresses kept.
void RepeatedAddresses(benchmark::State& state) {
    const auto path = BenchFile("repeated.txt");
    {
        std::ofstream out(path, std::ios::binary);
        for (std::size_t n = 0; n < 1'000'000; ++n) {
            out << Address(n % 1000) << '\n';
        }
    }
    TimeImport(state, path);
}

void PlainList(benchmark::State& state) {
    const auto path = BenchFile("list.txt");
    {
        std::ofstream out(path, std::ios::binary);
        for (std::size_t n = 0; n < 1'000'000; ++n) {
            out << Address(n) << '\n';
        }
    }
    TimeImport(state, path);
}

void CsvTable(benchmark::State& state) {
    const auto path = BenchFile("table.csv");
    {
        std::ofstream out(path, std::ios::binary);
        out << "Source url,Target url,Anchor\r\n";
        for (std::size_t n = 0; n < 1'000'000; ++n) {
            out << Address(n) << ",https://mysite.example/,\"widgets, blue\"\r\n";
        }
    }
    TimeImport(state, path);
}

void Utf16Table(benchmark::State& state) {
    const auto path = BenchFile("ahrefs.csv");
    {
        std::string text = "\"Referring page URL\"\t\"Target URL\"\r\n";
        for (std::size_t n = 0; n < 100'000; ++n) {
            text += "\"" + Address(n) + "\"\t\"https://mysite.example/\"\r\n";
        }
        std::string bytes = "\xFF\xFE";
        for (const char c : text) {
            bytes += c;
            bytes += '\0';
        }
        std::ofstream(path, std::ios::binary) << bytes;
    }
    TimeImport(state, path);
}

BENCHMARK(RepeatedAddresses)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(PlainList)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(CsvTable)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(Utf16Table)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace veltrap

BENCHMARK_MAIN();
