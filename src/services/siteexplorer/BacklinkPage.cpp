#include "services/siteexplorer/BacklinkPage.h"

namespace veltrap {
namespace {

constexpr std::string_view kResultMarker = "a class=\"yschttl\"";

}  // namespace

std::string BacklinkPageAddress(const ServiceEndpoints& services, std::string_view siteKey,
                                int pageIndex) {
    const long long first = 1 + static_cast<long long>(kBacklinksPerPage) * pageIndex;
    return "http://" + services.siteExplorerHost + "/search?p=" + std::string(siteKey) +
           "&bwm=i&bwmf=s&b=" + std::to_string(first);
}

BacklinkPage ReadBacklinkPage(std::string_view pageText, std::string_view nextPageMarker) {
    BacklinkPage page;
    std::size_t position = 0;
    while (true) {
        const auto marker = pageText.find(kResultMarker, position);
        if (marker == std::string_view::npos) {
            return page;
        }
        const auto start = pageText.find("http", marker);
        if (start == std::string_view::npos) {
            return page;
        }
        position = start;
        const auto quote = pageText.find('"', position);
        if (quote == std::string_view::npos) {
            return page;
        }
        page.urls.emplace_back(pageText.substr(start, quote - start));
        if (page.urls.size() == static_cast<std::size_t>(kBacklinksPerPage)) {
            // Only a marker after the last result announces a further page.
            page.nextPageFollows =
                pageText.find(nextPageMarker, position) != std::string_view::npos;
            return page;
        }
    }
}

}  // namespace veltrap
