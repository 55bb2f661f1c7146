// A history database opened from arbitrary bytes. A file the store refuses
// must be left exactly as it was; one it opens must list and load its runs
// and compare them without failing on what it stored itself.
#include "FuzzCheck.h"
#include "history/HistoryStore.h"
#include "history/RunChanges.h"

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

using namespace veltrap;

namespace {

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Each process fuzzes in a folder of its own, so that parallel jobs never
// share a database.
const std::filesystem::path& Folder() {
    static const std::filesystem::path folder = [] {
        auto made = std::filesystem::temp_directory_path() /
                    ("veltrap-fuzz-history-" + std::to_string(::getpid()));
        std::filesystem::create_directories(made);
        return made;
    }();
    return folder;
}

void RemoveDatabase(const std::filesystem::path& file) {
    std::error_code ignored;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        std::filesystem::remove(file.string() + suffix, ignored);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A file of its own for each input: the store checks a file whole once a
    // process, so a path used again would skip the check its new bytes need.
    static std::uint64_t inputs = 0;
    const std::filesystem::path file =
        Folder() / ("history-" + std::to_string(++inputs) + ".sqlite");
    struct Removed {
        const std::filesystem::path& file;
        ~Removed() { RemoveDatabase(file); }
    } removed{file};
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    {
        std::ofstream out(file, std::ios::binary);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    HistoryStore store;
    if (!store.Open(file, std::chrono::milliseconds(0)).ok()) {
        FUZZ_CHECK(ReadAll(file) == bytes);
        return 0;
    }
    const Result<std::vector<HistoryRun>> runs = store.Runs("fuzz.test");
    if (runs && runs->size() >= 2) {
        const Result<StoredRun> newer = store.Load(runs.value()[0].id);
        const Result<StoredRun> older = store.Load(runs.value()[1].id);
        if (newer && older) {
            (void)RunChanges::Compare(older->result, newer->result).Rows();
        }
    }
    return 0;
}
