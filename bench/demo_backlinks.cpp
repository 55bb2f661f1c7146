// Prints the addresses of the demo site's linking pages, one a line, for a
// site of the given number of backlinks: an import file whose every page the
// demo web answers, for the benchmarks that import backlinks.
//
//   demo_backlinks COUNT > list.txt

#include "demo/DemoConfig.h"
#include "demoworld/DemoSite.h"
#include "demoworld/DemoText.h"
#include "engine/SiteKey.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string_view>

int main(int argc, char** argv) {
    int count = 0;
    const std::string_view given = argc == 2 ? argv[1] : "";
    const auto [end, ec] = std::from_chars(given.data(), given.data() + given.size(), count);
    if (given.empty() || ec != std::errc() || end != given.data() + given.size() || count <= 0) {
        std::cerr << "usage: demo_backlinks COUNT\n";
        return 2;
    }
    const veltrap::DemoSite site(
        veltrap::SiteIdentity(veltrap::MakeSiteKey(veltrap::DemoSiteName())), count);
    std::ios::sync_with_stdio(false);
    for (const veltrap::DemoBacklink& link : site.Backlinks()) {
        // The site's own pages are given as paths; an import names whole
        // addresses only.
        if (link.url.starts_with("http")) {
            std::cout << link.url << '\n';
        }
    }
    return std::cout.good() ? 0 : 1;
}
