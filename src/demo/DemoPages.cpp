#include "demo/DemoPages.h"

#include "demo/DemoConfig.h"
#include "demo/DemoSearch.h"
#include "demo/DemoText.h"
#include "demo/LinkingPage.h"
#include "demo/PageRankAnswer.h"
#include "demo/SearchResultPage.h"
#include "demo/SiteExplorerPage.h"
#include "demo/SitePage.h"
#include "base/AsciiCase.h"
#include "base/TextSearch.h"

#include <charconv>
#include <optional>

namespace veltrap {
namespace {

constexpr std::size_t kSitesKept = 32;

// A transparent 1x1 GIF, for every image a page shows.
constexpr unsigned char kGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00,
    0x00, 0xff, 0xff, 0xff, 0x21, 0xf9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00,
    0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b,
};

constexpr std::string_view kStyle =
    "body { font-family: Verdana, Arial, sans-serif; font-size: 13px; margin: 20px; }\n"
    "#header { border-bottom: 1px solid #ccc; }\n#sidebar { float: right; width: 200px; }\n";

// The query of a result page: the leading key's value runs up to the last
// "&stopKey=", because a keyphrase may itself hold "&"; the paging number is
// the value of the last "&pageKey=".
struct ResultQuery {
    std::string lead;
    long page = 0;
    bool hasPage = false;
};

ResultQuery ParseResultQuery(std::string_view query, std::string_view leadKey,
                             std::string_view stopKey, std::string_view pageKey) {
    ResultQuery parsed;
    const std::string leadPrefix = std::string(leadKey) + "=";
    std::size_t leadStart = std::string_view::npos;
    if (query.starts_with(leadPrefix)) {
        leadStart = leadPrefix.size();
    } else if (const auto at = query.find("&" + leadPrefix); at != std::string_view::npos) {
        leadStart = at + 1 + leadPrefix.size();
    }
    if (leadStart != std::string_view::npos) {
        const auto stop = query.rfind(std::string("&").append(stopKey).append("="));
        std::size_t leadEnd = query.find('&', leadStart);
        if (stop != std::string_view::npos && stop >= leadStart) {
            leadEnd = stop;
        }
        parsed.lead = PercentDecode(query.substr(leadStart, leadEnd == std::string_view::npos
                                                                ? std::string_view::npos
                                                                : leadEnd - leadStart));
    }
    const std::string pagePrefix = std::string(pageKey) + "=";
    std::size_t pageStart = std::string_view::npos;
    if (const auto at = query.rfind("&" + pagePrefix); at != std::string_view::npos) {
        pageStart = at + 1 + pagePrefix.size();
    } else if (query.starts_with(pagePrefix)) {
        pageStart = pagePrefix.size();
    }
    if (pageStart != std::string_view::npos) {
        const std::string_view digits = query.substr(pageStart);
        long value = 0;
        const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
        if (ec == std::errc() && end != digits.data()) {
            parsed.page = value;
            parsed.hasPage = true;
        }
    }
    return parsed;
}

DemoAnswer Html(std::string body) {
    DemoAnswer answer;
    answer.body = std::move(body);
    return answer;
}

DemoAnswer NotFound(std::string_view path) {
    DemoAnswer answer;
    answer.status = 404;
    answer.body =
        "<html><head><title>404 Not Found</title></head>\n<body><h1>Not Found</h1>\n<p>The "
        "requested URL " +
        HtmlEscape(path) + " was not found on this server.</p>\n</body></html>\n";
    return answer;
}

std::string WithoutPort(std::string_view host) {
    const auto colon = host.rfind(':');
    if (colon != std::string_view::npos &&
        host.find_first_not_of("0123456789", colon + 1) == std::string_view::npos) {
        host = host.substr(0, colon);
    }
    return LowerAscii(host);
}

std::optional<DemoAnswer> StaticFile(std::string_view host, std::string_view path) {
    if (host == kDemoImageHost || path.ends_with(".gif") || path.ends_with(".ico") ||
        path.ends_with(".png") || path.ends_with(".jpg")) {
        DemoAnswer answer;
        answer.contentType = "image/gif";
        answer.body.assign(reinterpret_cast<const char*>(kGif), sizeof kGif);
        return answer;
    }
    if (path.ends_with(".css")) {
        DemoAnswer answer;
        answer.contentType = "text/css";
        answer.body = std::string(kStyle);
        return answer;
    }
    return std::nullopt;
}

}  // namespace

DemoPages::DemoPages(int size) : size_(size) {}

std::shared_ptr<const DemoSite> DemoPages::Site(const std::string& identity) const {
    {
        std::lock_guard lock(sitesMutex_);
        if (const auto found = sites_.find(identity); found != sites_.end()) {
            return found->second;
        }
    }
    auto site = std::make_shared<const DemoSite>(identity, size_);
    std::lock_guard lock(sitesMutex_);
    if (sites_.size() >= kSitesKept) {
        sites_.clear();
    }
    sites_.emplace(identity, site);
    return site;
}

DemoAnswer DemoPages::Answer(std::string_view hostHeader, std::string_view target) const {
    const std::string host = WithoutPort(hostHeader);
    const auto mark = target.find('?');
    const std::string path = PercentDecode(target.substr(0, mark));
    const std::string_view query =
        mark == std::string_view::npos ? std::string_view() : target.substr(mark + 1);
    if (host.empty()) {
        DemoAnswer answer = NotFound(path);
        answer.status = 400;
        return answer;
    }

    if (host == kDemoSiteExplorerHost) {
        if (path != "/search") {
            return path == "/" ? Html(RenderSiteExplorerPage(nullptr, "", 1)) : NotFound(path);
        }
        const ResultQuery parsed = ParseResultQuery(query, "p", "bwm", "b");
        const std::string identity = SiteIdentity(parsed.lead);
        if (identity.empty()) {
            return Html(RenderSiteExplorerPage(nullptr, "", 1));
        }
        return Html(RenderSiteExplorerPage(Site(identity).get(), parsed.lead,
                                           parsed.hasPage ? parsed.page : 1));
    }

    struct EngineRoute {
        std::string_view host;
        DemoEngine engine;
        std::string_view path;
        std::string_view queryKey;
        std::string_view pageKey;
    };
    static constexpr EngineRoute kEngines[] = {
        {kDemoGoogleHost, DemoEngine::kGoogle, "/search", "q", "start"},
        {kDemoYahooHost, DemoEngine::kYahoo, "/search", "p", "b"},
        {kDemoMsnHost, DemoEngine::kMsn, "/results.aspx", "q", "first"},
    };
    for (const EngineRoute& route : kEngines) {
        if (host != route.host) {
            continue;
        }
        if (path != route.path && path != "/") {
            return NotFound(path);
        }
        const ResultQuery parsed =
            ParseResultQuery(query, route.queryKey, route.pageKey, route.pageKey);
        const std::string named = DemoSearch::NamedSite(parsed.lead);
        const auto site = named.empty() ? nullptr : Site(named);
        return Html(RenderSearchPage(route.engine, parsed.lead, parsed.page, site.get()));
    }

    if (host == kDemoPageRankHost) {
        return path == "/" ? Html(RenderPageRankAnswer(PercentDecode(query))) : NotFound(path);
    }
    if (auto file = StaticFile(host, path)) {
        return std::move(*file);
    }
    auto linking = DemoSite::ParseLinkingPath(path);
    if (!linking && path == "/") {
        linking = DemoSite::ParseFrontPageQuery(query);
    }
    if (linking) {
        if (auto page = RenderLinkingPage(*Site(linking->identity), linking->index)) {
            return Html(std::move(*page));
        }
        return NotFound(path);
    }
    const DemoSitePage* page = DemoSite::FindPage(path);
    if (page == nullptr) {
        return NotFound(path);
    }
    return Html(RenderSitePage(*Site(HostIdentity(host)), *page));
}

}  // namespace veltrap
