#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// The saved list of profiled sites in its stored form: every site followed by
// a comma, as in "a.com,b.com,". Text after the last comma is not an entry.

// The entries in stored order; empty pieces (",,") are skipped.
std::vector<std::string> SiteListEntries(std::string_view stored);

// Whether site is one whole entry of the list. "ample.com" is not in
// "example.com,": a piece of an entry does not count.
bool SiteListHasEntry(std::string_view stored, std::string_view site);

// The list with site appended as a new entry. A hand-edited list that lost
// its final comma gets it back first, so the last site and the new one never
// run together.
std::string SiteListWithEntry(std::string_view stored, std::string_view site);
// The list without any entry equal to site; the other entries keep their
// stored order.
std::string SiteListWithoutEntry(std::string_view stored, std::string_view site);

}  // namespace veltrap
