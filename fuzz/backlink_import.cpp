// The import of exported backlink files from any bytes: plain lists, tables
// in UTF-8 or UTF-16, and zip archives of them are told apart by content, so
// the bytes are written to one file and read as an import. Either the file is
// refused with a message naming it, or every address taken is a web address,
// trimmed and taken once, and every row read is accounted for.
#include "FuzzCheck.h"
#include "services/backlinkimport/BacklinkImport.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>

using namespace veltrap;

namespace {

const std::string& ImportPath() {
    static const std::string path = [] {
        std::string name = "/tmp/veltrap-fuzz-import-XXXXXX";
        const int descriptor = mkstemp(name.data());
        if (descriptor < 0) {
            std::perror("mkstemp");
            std::abort();
        }
        close(descriptor);
        std::atexit([] { std::remove(ImportPath().c_str()); });
        return name;
    }();
    return path;
}

void WriteImportFile(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(ImportPath().c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
}

bool IsWebAddress(const std::string& address) {
    const std::string lower = [&address] {
        std::string text = address.substr(0, 8);
        for (char& c : text) {
            c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
        }
        return text;
    }();
    return lower.starts_with("http://") || lower.starts_with("https://");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    WriteImportFile(data, size);
    const ImportOutcome outcome = BacklinkImport::Read({ImportPath()});
    if (!outcome.ok()) {
        FUZZ_CHECK(outcome.message.find(ImportPath()) != std::string::npos);
        return 0;
    }
    FUZZ_CHECK(outcome.message.empty() && outcome.imported != nullptr);
    const ImportedBacklinks& imported = *outcome.imported;
    std::set<std::string> seen;
    for (const std::string& address : imported.addresses) {
        FUZZ_CHECK(IsWebAddress(address));
        FUZZ_CHECK(address.find_first_of(" \t\r\n") != 0);
        FUZZ_CHECK(seen.insert(address).second);
    }
    FUZZ_CHECK(imported.addresses.size() + imported.RowsSkipped() == imported.rowsRead);
    return 0;
}
