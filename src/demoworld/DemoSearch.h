#pragma once

#include "demoworld/DemoSite.h"

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

enum class DemoEngine { kGoogle, kYahoo, kMsn };

struct DemoSearchHit {
    std::string url;
    std::string title;
    std::string snippet;
};

// The index behind the demo web's three search engines. A query is reduced to
// its words, as an engine would; the results for the same words are always
// the same. A query that names a site (a word such as "www.example.com") finds
// that site and the pages whose link to it carries the same words, each at a
// place drawn from the query, or not at all; the rest is other pages.
class DemoSearch {
public:
    // Lower-cased words; markup entities such as "&amp;" and punctuation
    // between words are left out, and dots, hyphens, colons and slashes
    // inside a word stay.
    static std::vector<std::string> Words(std::string_view text);
    // The identity of the site the query names, or "" when it names none:
    // the first word holding an inner dot, without "http://" and "www.".
    static std::string NamedSite(std::string_view query);
    // Every result for the query on one engine, best first. site is the site
    // the query names (see NamedSite), or null.
    static std::vector<DemoSearchHit> Results(DemoEngine engine, std::string_view query,
                                              const DemoSite* site);
};

}  // namespace veltrap
