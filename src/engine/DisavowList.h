#pragma once

#include "base/Result.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_set>

namespace veltrap {

// The linking pages a user has disavowed, read from a disavow file in the
// format search engines take: UTF-8 text, one entry a line, "#" starting a
// comment, blank lines allowed, "domain:example.com" for a domain and all its
// subdomains, or the http(s) address of one page.
class DisavowList {
public:
    static constexpr std::uintmax_t kMostBytes = 2 * 1024 * 1024;
    static constexpr std::size_t kMostLines = 100000;

    // Reads a disavow file whole. A file past the limits, one that is not
    // text, or one with a line that is neither a comment, a domain entry nor
    // a web address is refused, at the input's fault, naming the file and
    // the line.
    static Result<DisavowList> Read(const std::filesystem::path& file);
    // The same for text already in memory; name stands for the file.
    static Result<DisavowList> Parse(std::string_view text, const std::string& name);

    // Adds the line for a page or for its whole domain to the file, keeping
    // every line it had, and writes it whole in place. A file that would no
    // longer be a valid one, or would pass the limits, is left as it was.
    static Status AddPage(const std::filesystem::path& file, const std::string& pageUrl);
    static Status AddDomain(const std::filesystem::path& file, const std::string& pageUrl);

    // Whether a linking page is named by an address line or lies on a domain
    // line's domain. An address without a scheme is read as plain HTTP.
    bool Names(std::string_view pageUrl) const;
    bool Empty() const { return pages_.empty() && domains_.empty(); }

    // The host of a page's address, lower-cased, without a port; "" when the
    // address cannot be read.
    static std::string HostOf(std::string_view pageUrl);

private:
    static Status AddLine(const std::filesystem::path& file, const std::string& line);

    // Kept in the forms a linking page is looked up by, so that checking a
    // page costs one parse of its address, whatever the file's length.
    std::unordered_set<std::string> pages_;    // AddressKey of each address line
    std::unordered_set<std::string> domains_;  // lower-cased
};

}  // namespace veltrap
