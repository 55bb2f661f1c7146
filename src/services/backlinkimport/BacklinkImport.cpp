#include "services/backlinkimport/BacklinkImport.h"

#include "services/backlinkimport/AddressCollector.h"
#include "services/backlinkimport/ImportFile.h"
#include "services/backlinkimport/ImportTextReader.h"
#include "services/backlinkimport/TextDecoder.h"

#include <zip.h>

#include <functional>
#include <utility>

namespace veltrap {
namespace {

constexpr std::size_t kChunkBytes = 1 << 20;
constexpr std::string_view kZipMark = "PK\x03\x04";
constexpr std::string_view kEmptyZipMark = "PK\x05\x06";
constexpr const char* kLinkingSitesHint =
    " This is Search Console's \"Top linking sites\" table, which names sites, not pages; "
    "export \"Latest links\" instead.";

// Reads up to size bytes into buffer: the count, 0 at the end, -1 on failure.
using ByteReader = std::function<long long(char* buffer, std::size_t size)>;

struct TextOutcome {
    enum class Result { kRead, kNotText, kNoColumn, kReadFailed, kStopped };
    Result result = Result::kRead;
    std::string problem;
    std::string headerLine;
    bool linkingSites = false;
};

// Decodes and reads one file's bytes, the first of them already read. The
// stop is asked between pieces, so that a large file does not keep it
// waiting.
TextOutcome ReadText(std::string_view firstBytes, const ByteReader& read,
                     AddressCollector& collector, const RunStop& stop) {
    TextOutcome outcome;
    TextDecoder decoder;
    ImportTextReader reader(collector);
    std::string text;
    std::string buffer(kChunkBytes, '\0');
    std::string_view bytes = firstBytes;
    while (true) {
        text.clear();
        if (!decoder.Feed(bytes, text)) {
            outcome.result = TextOutcome::Result::kNotText;
            outcome.problem = decoder.Problem();
            return outcome;
        }
        reader.Feed(text);
        if (stop.Cancelled()) {
            outcome.result = TextOutcome::Result::kStopped;
            return outcome;
        }
        const long long count = read(buffer.data(), buffer.size());
        if (count < 0) {
            outcome.result = TextOutcome::Result::kReadFailed;
            return outcome;
        }
        if (count == 0) {
            break;
        }
        bytes = std::string_view(buffer.data(), static_cast<std::size_t>(count));
    }
    text.clear();
    if (!decoder.Finish(text)) {
        outcome.result = TextOutcome::Result::kNotText;
        outcome.problem = decoder.Problem();
        return outcome;
    }
    reader.Feed(text);
    if (!reader.Finish()) {
        outcome.result = TextOutcome::Result::kNoColumn;
        outcome.headerLine = reader.HeaderLine();
        outcome.linkingSites = reader.IsLinkingSitesTable();
    }
    return outcome;
}

// A file that is missing or cannot be read is the world's fault, and
// ImportFile tells it. A file that is no list of linking pages: the input's fault.
Failure Unusable(std::string message) {
    return Failure{std::move(message), true};
}

std::string NoColumnText(const TextOutcome& outcome) {
    return "no column of linking pages; its header line is: " + outcome.headerLine;
}

// How a table without the column is mended, after the reasons it was refused.
std::string Mending(bool linkingSites) {
    return std::string(". ") + ImportTextReader::UnderstoodColumns() +
           (linkingSites ? kLinkingSitesHint : "");
}

class ImportRun {
public:
    ImportRun(ImportedBacklinks& imported, const RunStop& stop)
        : imported_(imported), collector_(imported), stop_(stop) {}

    Status File(const std::string& path);

private:
    Status Archive(const std::string& path);

    ImportedBacklinks& imported_;
    AddressCollector collector_;
    const RunStop& stop_;
};

Status ImportRun::File(const std::string& path) {
    Result<ImportFile> opened = ImportFile::Open(path, stop_);
    if (!opened) {
        return opened.failure();
    }
    ImportFile& file = *opened;
    Failure readFailure;
    const ByteReader read = [&file, &readFailure](char* buffer, std::size_t size) -> long long {
        const Result<std::size_t> count = file.Read(buffer, size);
        if (!count) {
            readFailure = count.failure();
            return -1;
        }
        return static_cast<long long>(*count);
    };
    std::string first(kChunkBytes, '\0');
    const long long count = read(first.data(), first.size());
    if (count >= 0) {
        first.resize(static_cast<std::size_t>(count));
    }
    TextOutcome outcome;
    if (count < 0) {
        outcome.result = TextOutcome::Result::kReadFailed;
    } else if (std::string_view(first).starts_with(kZipMark) ||
               std::string_view(first).starts_with(kEmptyZipMark)) {
        // The archive's reader opens it again by its name and reads it out
        // of order, which only a file that stays where it is allows.
        if (!file.IsRegular()) {
            return Unusable(path + " is a zip archive, which is read from a regular file only");
        }
        return Archive(path);
    } else {
        outcome = ReadText(first, read, collector_, stop_);
    }
    switch (outcome.result) {
        case TextOutcome::Result::kRead:
            return {};
        case TextOutcome::Result::kReadFailed:
            return readFailure;
        case TextOutcome::Result::kStopped:
            return ImportFile::Stopped(path);
        case TextOutcome::Result::kNotText:
            return Unusable(path + " " + outcome.problem);
        case TextOutcome::Result::kNoColumn:
            break;
    }
    return Unusable(path + " has " + NoColumnText(outcome) + Mending(outcome.linkingSites));
}

Status ImportRun::Archive(const std::string& path) {
    int code = 0;
    const std::unique_ptr<zip_t, void (*)(zip_t*)> archive(
        zip_open(path.c_str(), ZIP_RDONLY, &code), &zip_discard);
    if (!archive) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        std::string message =
            path + " is a damaged zip archive (" + zip_error_strerror(&error) + ")";
        zip_error_fini(&error);
        return Unusable(std::move(message));
    }
    std::size_t tablesRead = 0;
    std::vector<std::string> reasons;
    bool linkingSites = false;
    const zip_int64_t entries = zip_get_num_entries(archive.get(), 0);
    for (zip_int64_t index = 0; index < entries; ++index) {
        if (stop_.Cancelled()) {
            return ImportFile::Stopped(path);
        }
        const char* entryName = zip_get_name(archive.get(), static_cast<zip_uint64_t>(index), 0);
        const std::string name = entryName != nullptr ? entryName : "#" + std::to_string(index);
        if (name.ends_with('/')) {
            continue;
        }
        std::string reason;
        TextOutcome outcome;
        const AddressCollector::Mark mark = collector_.Here();
        const std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> member(
            zip_fopen_index(archive.get(), static_cast<zip_uint64_t>(index), 0), &zip_fclose);
        if (!member) {
            reason = std::string("cannot be read: ") + zip_strerror(archive.get());
        } else {
            const ByteReader read = [&member](char* buffer, std::size_t size) -> long long {
                return zip_fread(member.get(), buffer, size);
            };
            outcome = ReadText({}, read, collector_, stop_);
            switch (outcome.result) {
                case TextOutcome::Result::kRead:
                    ++tablesRead;
                    continue;
                case TextOutcome::Result::kStopped:
                    return ImportFile::Stopped(path);
                case TextOutcome::Result::kReadFailed:
                    reason = std::string("cannot be read: ") + zip_file_strerror(member.get());
                    break;
                case TextOutcome::Result::kNotText:
                    reason = outcome.problem;
                    break;
                case TextOutcome::Result::kNoColumn:
                    reason = NoColumnText(outcome);
                    linkingSites = linkingSites || outcome.linkingSites;
                    break;
            }
        }
        // A file of the archive gives all its rows or none.
        collector_.Rollback(mark);
        reasons.push_back(name + " (" + reason + ")");
    }
    if (tablesRead == 0) {
        std::string message = path + " holds no table with a column of linking pages";
        const char* separator = ": ";
        for (const std::string& reason : reasons) {
            message += separator + reason;
            separator = "; ";
        }
        return Unusable(message + Mending(linkingSites));
    }
    for (const std::string& reason : reasons) {
        imported_.passedOver.push_back(path + ": " + reason);
    }
    return {};
}

}  // namespace

Result<std::shared_ptr<const ImportedBacklinks>> BacklinkImport::Read(
    const std::vector<std::string>& paths) {
    static const RunStop kNeverStopped;
    return Read(paths, kNeverStopped);
}

Result<std::shared_ptr<const ImportedBacklinks>> BacklinkImport::Read(
    const std::vector<std::string>& paths, const RunStop& stop) {
    auto imported = std::make_shared<ImportedBacklinks>();
    imported->files = paths.size();
    ImportRun run(*imported, stop);
    for (const std::string& path : paths) {
        if (const Status read = run.File(path); !read.ok()) {
            return read.failure();
        }
    }
    // A run on no linking page would find nothing and then tell every link
    // of the site's previous run as lost.
    if (imported->addresses.empty()) {
        std::string names;
        for (const std::string& path : paths) {
            names += (names.empty() ? "" : ", ") + path;
        }
        return Unusable("no linking page to run on in " + names + ": " + imported->Summary());
    }
    return std::shared_ptr<const ImportedBacklinks>(std::move(imported));
}

}  // namespace veltrap
