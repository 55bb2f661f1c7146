#include "engine/DisavowList.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"
#include "base/Utf8Text.h"
#include "base/WriteWholeFile.h"
#include "net/AbsoluteAddress.h"
#include "scrape/WebAddress.h"

#include <fstream>
#include <iterator>
#include <system_error>

namespace veltrap {
namespace {

constexpr std::string_view kDomainPrefix = "domain:";
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kBlanks = " \t\r";

// Text holds no NUL nor other control bytes but tabs and line ends.
bool IsTextLine(std::string_view line) {
    for (const char c : line) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte < 0x20 && c != '\t' && c != '\r') || byte == 0x7F) {
            return false;
        }
    }
    return MendUtf8(line) == line;
}

// A domain as a host name: letters, digits, hyphens, dots and the bytes of
// international names, with no empty label.
bool IsDomain(std::string_view domain) {
    if (domain.empty() || domain.front() == '.' || domain.back() == '.' ||
        domain.find("..") != std::string_view::npos) {
        return false;
    }
    for (const char c : domain) {
        const auto byte = static_cast<unsigned char>(c);
        const bool alnum =
            (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
        if (!(alnum || c == '-' || c == '.' || byte >= 0x80)) {
            return false;
        }
    }
    return true;
}

// An absolute http or https address with a host.
bool IsWebAddress(std::string_view line) {
    const std::string lower = LowerAscii(line.substr(0, 8));
    if (!lower.starts_with("http://") && !lower.starts_with("https://")) {
        return false;
    }
    return !DisavowList::HostOf(line).empty();
}

Failure TooLarge(const std::string& name, std::uintmax_t size) {
    return Failure{"the disavow file " + name + " holds " + std::to_string(size) +
                       " bytes, more than the " + std::to_string(DisavowList::kMostBytes) +
                       " a disavow file may hold",
                   true};
}

Result<std::string> ReadBytes(const std::filesystem::path& file) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        return Failure{"cannot read the disavow file " + file.string() + ": " + error.message(),
                       true};
    }
    if (size > DisavowList::kMostBytes) {
        return TooLarge(file.string(), size);
    }
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || !in.is_open()) {
        return Failure{"cannot read the disavow file " + file.string(), true};
    }
    return bytes;
}

}  // namespace

std::string DisavowList::HostOf(std::string_view pageUrl) {
    return AddressHost(WithHttpScheme(pageUrl));
}

Result<DisavowList> DisavowList::Read(const std::filesystem::path& file) {
    Result<std::string> bytes = ReadBytes(file);
    if (!bytes) {
        return bytes.failure();
    }
    return Parse(*bytes, file.string());
}

Result<DisavowList> DisavowList::Parse(std::string_view text, const std::string& name) {
    if (text.size() > kMostBytes) {
        return TooLarge(name, text.size());
    }
    if (text.starts_with(kByteOrderMark)) {
        text.remove_prefix(kByteOrderMark.size());
    }
    DisavowList list;
    std::size_t number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view raw = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (++number > kMostLines) {
            return Failure{"the disavow file " + name + " has more than " +
                               std::to_string(kMostLines) + " lines",
                           true};
        }
        const auto refuse = [&](const std::string& why) {
            return Failure{
                "the disavow file " + name + ", line " + std::to_string(number) + ": " + why, true};
        };
        if (!IsTextLine(raw)) {
            return refuse("not UTF-8 text");
        }
        const std::string_view line = Trimmed(raw, kBlanks);
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (StartsWithNoCase(line, kDomainPrefix)) {
            const std::string domain = LowerAscii(Trimmed(line.substr(kDomainPrefix.size())));
            if (!IsDomain(domain)) {
                return refuse("'" + std::string(line) + "' names no domain");
            }
            list.domains_.insert(domain);
        } else if (IsWebAddress(line)) {
            list.pages_.insert(AddressKey(line));
        } else {
            return refuse("'" + std::string(line) +
                          "' is neither a comment, a domain: entry nor an http(s) address");
        }
    }
    return list;
}

bool DisavowList::Names(std::string_view pageUrl) const {
    if (Empty()) {
        return false;
    }
    const std::string address = WithHttpScheme(pageUrl);
    if (const std::string key = AddressKey(address); !key.empty() && pages_.contains(key)) {
        return true;
    }
    if (domains_.empty()) {
        return false;
    }
    // The host and each domain it lies in, from the longest to the shortest.
    const std::string host = HostOf(address);
    for (std::string_view rest = host; !rest.empty();) {
        if (domains_.contains(std::string(rest))) {
            return true;
        }
        const auto dot = rest.find('.');
        rest = dot == std::string_view::npos ? std::string_view() : rest.substr(dot + 1);
    }
    return false;
}

Status DisavowList::AddPage(const std::filesystem::path& file, const std::string& pageUrl) {
    return AddLine(file, WithHttpScheme(pageUrl));
}

Status DisavowList::AddDomain(const std::filesystem::path& file, const std::string& pageUrl) {
    const std::string host = HostOf(pageUrl);
    if (host.empty()) {
        return Failure{"'" + pageUrl + "' names no domain to disavow", true};
    }
    return AddLine(file, std::string(kDomainPrefix) + host);
}

Status DisavowList::AddLine(const std::filesystem::path& file, const std::string& line) {
    std::string bytes;
    std::error_code error;
    // A file not there yet is started by its first line.
    if (std::filesystem::exists(file, error)) {
        Result<std::string> read = ReadBytes(file);
        if (!read) {
            return read.failure();
        }
        bytes = std::move(read).value();
    }
    if (!bytes.empty() && bytes.back() != '\n') {
        bytes += '\n';
    }
    bytes += line + "\n";
    // The file as it would be written must read back as a valid one.
    if (Result<DisavowList> checked = Parse(bytes, file.string()); !checked) {
        return checked.failure();
    }
    return WriteWholeFile(file, bytes);
}

}  // namespace veltrap
