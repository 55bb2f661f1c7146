// The import of exported backlink files from any bytes: plain lists, and
// tables in UTF-8 or UTF-16, are decoded and read in memory twice, whole and
// in small pieces, and must give the same addresses both ways. A zip archive
// is written to a file and read as an import. Either the bytes are refused
// with a reason, or every address taken is a web address, trimmed and taken
// once, and every row read is accounted for.
#include "FuzzCheck.h"
#include "services/backlinkimport/AddressCollector.h"
#include "services/backlinkimport/BacklinkImport.h"
#include "services/backlinkimport/ImportTextReader.h"
#include "services/backlinkimport/TextDecoder.h"

#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <set>
#include <string>
#include <string_view>

using namespace veltrap;

namespace {

const std::string& ArchivePath() {
    static const std::string path = [] {
        std::string name = "/tmp/veltrap-fuzz-import-XXXXXX";
        const int descriptor = mkstemp(name.data());
        if (descriptor < 0) {
            std::perror("mkstemp");
            std::abort();
        }
        close(descriptor);
        std::atexit([] { std::remove(ArchivePath().c_str()); });
        return name;
    }();
    return path;
}

void WriteArchive(std::string_view bytes) {
    std::FILE* file = std::fopen(ArchivePath().c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    FUZZ_CHECK(std::fclose(file) == 0);
}

void CheckImported(const ImportedBacklinks& imported) {
    std::set<std::string> seen;
    for (const std::string& address : imported.addresses) {
        std::string scheme = address.substr(0, 8);
        std::transform(scheme.begin(), scheme.end(), scheme.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c; });
        FUZZ_CHECK(scheme.starts_with("http://") || scheme.starts_with("https://"));
        FUZZ_CHECK(address.find_last_of(" \t\r\n") != address.size() - 1);
        FUZZ_CHECK(seen.insert(address).second);
    }
    FUZZ_CHECK(imported.addresses.size() + imported.RowsSkipped() == imported.rowsRead);
}

// The addresses of the text read piece by piece, or nothing when it is
// refused, as a file of it would be.
std::optional<ImportedBacklinks> ReadInPieces(std::string_view bytes, std::size_t piece) {
    ImportedBacklinks imported;
    AddressCollector collector(imported);
    TextDecoder decoder;
    ImportTextReader reader(collector);
    std::string text;
    for (std::size_t at = 0; at < bytes.size(); at += piece) {
        text.clear();
        if (!decoder.Feed(bytes.substr(at, piece), text)) {
            FUZZ_CHECK(!decoder.Problem().empty());
            return std::nullopt;
        }
        reader.Feed(text);
    }
    text.clear();
    if (!decoder.Finish(text)) {
        FUZZ_CHECK(!decoder.Problem().empty());
        return std::nullopt;
    }
    reader.Feed(text);
    if (!reader.Finish()) {
        return std::nullopt;
    }
    CheckImported(imported);
    return imported;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!bytes.starts_with("PK")) {
        const auto whole = ReadInPieces(bytes, std::max<std::size_t>(size, 1));
        const std::size_t piece = size == 0 ? 1 : 1 + data[size - 1] % 17;
        const auto pieces = ReadInPieces(bytes, piece);
        FUZZ_CHECK(whole.has_value() == pieces.has_value());
        FUZZ_CHECK(!whole || whole->addresses == pieces->addresses);
        return 0;
    }
    WriteArchive(bytes);
    const auto outcome = BacklinkImport::Read({ArchivePath()});
    if (!outcome.ok()) {
        FUZZ_CHECK(outcome.failure().inputAtFault);
        FUZZ_CHECK(outcome.reason().find(ArchivePath()) != std::string::npos);
        return 0;
    }
    FUZZ_CHECK(outcome.value() != nullptr);
    CheckImported(*outcome.value());
    return 0;
}
