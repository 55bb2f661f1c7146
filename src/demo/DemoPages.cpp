#include "demo/DemoPages.h"

#include "base/AsciiCase.h"
#include "demoworld/DemoHosts.h"
#include "demoworld/DemoText.h"
#include "demoworld/LinkingPage.h"
#include "demoworld/SitePage.h"
#include "engine/ServiceCatalog.h"

#include <optional>
#include <utility>

namespace veltrap {
namespace {

// A transparent 1x1 GIF, for every image a page shows.
constexpr unsigned char kGif[] = {
    0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00,
    0x00, 0xff, 0xff, 0xff, 0x21, 0xf9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00,
    0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3b,
};

constexpr std::string_view kStyle =
    "body { font-family: Verdana, Arial, sans-serif; font-size: 13px; margin: 20px; }\n"
    "#header { border-bottom: 1px solid #ccc; }\n#sidebar { float: right; width: 200px; }\n";

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

DemoPages::DemoPages(int size) : world_(size) {
    for (const ServiceDescriptor& service : ServiceCatalog::Default().Services()) {
        if (service.addDemoRoutes) {
            service.addDemoRoutes(routes_);
        }
    }
}

DemoAnswer DemoPages::Answer(std::string_view hostHeader, std::string_view target,
                             std::map<std::string, std::string> headers, std::string_view method,
                             std::string body) const {
    DemoRequest request;
    request.method = std::string(method);
    request.host = WithoutPort(hostHeader);
    request.headers = std::move(headers);
    request.body = std::move(body);
    const auto mark = target.find('?');
    request.path = PercentDecode(target.substr(0, mark));
    if (mark != std::string_view::npos) {
        request.query = std::string(target.substr(mark + 1));
    }
    if (request.host.empty()) {
        DemoAnswer answer = DemoAnswer::NotFound(request.path);
        answer.status = 400;
        return answer;
    }
    if (const DemoRoutes::Writer* writer = routes_.Find(request.host)) {
        return (*writer)(request, world_);
    }
    const std::string& host = request.host;
    const std::string& path = request.path;
    if (auto file = StaticFile(host, path)) {
        return std::move(*file);
    }
    auto linking = DemoSite::ParseLinkingPath(path);
    if (!linking && path == "/") {
        linking = DemoSite::ParseFrontPageQuery(request.query);
    }
    if (linking) {
        if (auto page = RenderLinkingPage(*world_.Site(linking->identity), linking->index)) {
            return std::move(*page);
        }
        return DemoAnswer::NotFound(path);
    }
    const DemoSitePage* page = DemoSite::FindPage(path);
    if (page == nullptr) {
        return DemoAnswer::NotFound(path);
    }
    return DemoAnswer::Html(RenderSitePage(*world_.Site(HostIdentity(host)), *page));
}

}  // namespace veltrap
