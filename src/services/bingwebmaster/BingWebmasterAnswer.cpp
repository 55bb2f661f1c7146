#include "services/bingwebmaster/BingWebmasterAnswer.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <utility>
#include <vector>

namespace veltrap {
namespace {

using Json = nlohmann::ordered_json;

// A page of the site and the backlinks, by index, that point at it.
struct LinkedPage {
    std::string url;
    std::vector<std::size_t> backlinks;
};

std::vector<LinkedPage> LinkedPages(const DemoSite& site, std::string_view siteUrl) {
    std::string origin(siteUrl);
    while (origin.ends_with('/')) {
        origin.pop_back();
    }
    std::vector<LinkedPage> pages;
    const auto& backlinks = site.Backlinks();
    for (std::size_t index = 0; index < backlinks.size(); ++index) {
        const std::string url = origin + std::string(backlinks[index].hrefPage);
        auto page = std::find_if(pages.begin(), pages.end(),
                                 [&url](const LinkedPage& p) { return p.url == url; });
        if (page == pages.end()) {
            page = pages.insert(pages.end(), {url, {}});
        }
        page->backlinks.push_back(index);
    }
    return pages;
}

std::int64_t PageCount(std::size_t entries, std::int64_t perPage) {
    return (static_cast<std::int64_t>(entries) + perPage - 1) / perPage;
}

// The entries of one answer page, taken from a list of `size`.
std::pair<std::size_t, std::size_t> Slice(std::size_t size, std::int64_t page,
                                          std::int64_t perPage) {
    if (page < 0 || page >= PageCount(size, perPage)) {
        return {size, size};
    }
    const auto first = static_cast<std::size_t>(page * perPage);
    return {first, std::min(size, first + static_cast<std::size_t>(perPage))};
}

std::string Answer(const char* listName, Json list, std::int64_t totalPages) {
    Json d;
    d["__type"] = std::string(listName) == "Links" ? "LinkCounts:#Microsoft.Bing.Webmaster.Api"
                                                   : "LinkDetails:#Microsoft.Bing.Webmaster.Api";
    d[listName] = std::move(list);
    d["TotalPages"] = totalPages;
    return Json{{"d", d}}.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

std::string RenderBingLinkCounts(const DemoSite& site, std::string_view siteUrl,
                                 std::int64_t page) {
    const std::vector<LinkedPage> pages = LinkedPages(site, siteUrl);
    const auto [first, end] = Slice(pages.size(), page, kDemoBingLinksPerPage);
    Json links = Json::array();
    for (std::size_t i = first; i < end; ++i) {
        links.push_back({{"__type", "LinkCount:#Microsoft.Bing.Webmaster.Api"},
                         {"Count", pages[i].backlinks.size()},
                         {"Url", pages[i].url}});
    }
    return Answer("Links", std::move(links), PageCount(pages.size(), kDemoBingLinksPerPage));
}

std::string RenderBingUrlLinks(const DemoSite& site, std::string_view siteUrl,
                               std::string_view link, std::int64_t page) {
    static const std::vector<std::size_t> kNone;
    const std::vector<LinkedPage> pages = LinkedPages(site, siteUrl);
    const auto linked = std::find_if(pages.begin(), pages.end(),
                                     [link](const LinkedPage& p) { return p.url == link; });
    const std::vector<std::size_t>& indices = linked != pages.end() ? linked->backlinks : kNone;
    const auto [first, end] = Slice(indices.size(), page, kDemoBingDetailsPerPage);
    Json details = Json::array();
    for (std::size_t i = first; i < end; ++i) {
        const std::size_t index = indices[i];
        const DemoBacklink& backlink = site.Backlinks()[index];
        // A page of the site itself is listed with the site's own address.
        const std::string url = backlink.kind == DemoLinkKind::kOwnPage
                                    ? site.SiteUrl(backlink.url, index % 2 == 0)
                                    : backlink.url;
        details.push_back({{"__type", "LinkDetail:#Microsoft.Bing.Webmaster.Api"},
                           {"AnchorText", backlink.anchorPhrase},
                           {"Url", url}});
    }
    return Answer("Details", std::move(details),
                  PageCount(indices.size(), kDemoBingDetailsPerPage));
}

std::string RenderBingError(int code, std::string_view message) {
    return Json{{"ErrorCode", code}, {"Message", message}}.dump();
}

}  // namespace veltrap
