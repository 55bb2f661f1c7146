#include "services/siteexplorer/SiteExplorerPage.h"

#include "demoworld/DemoDice.h"
#include "demoworld/DemoHash.h"
#include "demoworld/DemoHosts.h"
#include "demoworld/DemoText.h"
#include "demoworld/DemoWords.h"

#include <algorithm>
#include <vector>

namespace veltrap {
namespace {

constexpr long kPerPage = 50;

std::string ResultUrl(const DemoBacklink& link, std::string_view siteKey, std::size_t index) {
    if (link.kind != DemoLinkKind::kOwnPage) {
        return link.url;
    }
    std::string host(siteKey);
    while (!host.empty() && host.back() == '/') {
        host.pop_back();
    }
    return (index % 2 == 0 ? "http://www." : "http://") + host + link.url;
}

// The address shown in green under a result: without the scheme, cut short.
std::string Shown(std::string_view url) {
    std::string shown(
        url.substr(url.find("//") == std::string_view::npos ? 0 : url.find("//") + 2));
    if (shown.size() > 60) {
        shown = shown.substr(0, 57) + "...";
    }
    return HtmlEscape(shown);
}

std::string PageLink(std::string_view siteKey, long first, std::string_view text) {
    return "<a href=\"/search?p=" + PercentEncodeAll(siteKey) +
           "&amp;bwm=i&amp;bwmf=s&amp;b=" + std::to_string(first) + "\">" + std::string(text) +
           "</a>";
}

}  // namespace

std::string RenderSiteExplorerPage(const DemoSite* site, std::string_view siteKey, long first) {
    static const std::vector<DemoBacklink> kNone;
    const auto& backlinks = site != nullptr ? site->Backlinks() : kNone;
    const long total = static_cast<long>(backlinks.size());
    first = std::max(first, 1L);
    const long last = std::min(total, first + kPerPage - 1);
    const std::string shownKey = HtmlEscape(siteKey);

    std::string html =
        "<html>\n<head>\n<meta http-equiv=\"content-type\" content=\"text/html; "
        "charset=iso-8859-1\">\n<title>Site Explorer - Inlinks for " +
        shownKey + "</title>\n<link rel=\"stylesheet\" href=\"http://" +
        std::string(kDemoImageHost) +
        "/css/se.css\">\n</head>\n<body>\n<div id=\"hd\"><a href=\"/\"><img src=\"http://" +
        std::string(kDemoImageHost) +
        "/i/us/search/gr/se_logo.gif\" alt=\"Site Explorer\" border=\"0\"></a>\n"
        "<form action=\"/search\" method=\"get\"><input type=\"text\" name=\"p\" size=\"40\" "
        "value=\"" +
        shownKey +
        "\"> <input type=\"hidden\" name=\"bwm\" value=\"i\"><input type=\"submit\" "
        "value=\"Explore URL\"></form></div>\n";
    html += "<div id=\"tabs\"><a href=\"/search?p=" + PercentEncodeAll(siteKey) +
            "&amp;bwm=p\">Pages</a> | <b>Inlinks (" + std::to_string(total) + ")</b></div>\n";
    if (site == nullptr) {
        return html +
               "<div id=\"info\"><p>Type the address of a site to see the pages that "
               "link to it.</p></div>\n</body>\n</html>\n";
    }
    if (first > last) {
        html += "<div id=\"info\"><p>We did not find any more pages linking to " + shownKey +
                ".</p></div>\n</body>\n</html>\n";
        return html;
    }
    html += "<div id=\"info\">Results " + std::to_string(first) + " - " + std::to_string(last) +
            " of about " + std::to_string(total) + "</div>\n";
    if (first > 1) {
        html += "<div class=\"pg\">" +
                PageLink(siteKey, std::max(1L, first - kPerPage),
                         "<img src=\"http://" + std::string(kDemoImageHost) +
                             "/i/us/search/gr/ar_prev.gif\" alt=\"\" border=\"0\"> Prev") +
                "</div>\n";
    }
    html += "<div id=\"results\">\n<ol start=\"" + std::to_string(first) + "\">\n";
    for (long n = first; n <= last; ++n) {
        const auto index = static_cast<std::size_t>(n - 1);
        const DemoBacklink& link = backlinks[index];
        const std::string url = ResultUrl(link, siteKey, index);
        DemoDice dice(DemoHash(link.url).Add(index).Value());
        const std::string title = link.kind == DemoLinkKind::kOwnPage
                                      ? site->Brand() + " - " + Capitalized(site->Topic())
                                      : link.title;
        html += "<li><div class=\"res\"><div><a class=\"yschttl\" href=\"" + url + "\">" +
                HtmlEscape(title) + "</a></div>\n<div class=\"abstr\">" +
                HtmlEscape(DemoWords::Sentence(dice.Below(100),
                                               link.topic.empty() ? site->Topic() : link.topic)) +
                "</div>\n<span class=\"url\">" + Shown(url) + "</span> - " +
                std::to_string(4 + dice.Below(40)) + "k</div></li>\n";
    }
    html += "</ol>\n</div>\n";
    if (last < total) {
        html += "<div class=\"pg\">" +
                PageLink(siteKey, last + 1,
                         "Next <img src=\"" + std::string(kDemoNextMarker) +
                             "\" alt=\"\" border=\"0\">") +
                "</div>\n";
    }
    html += "<div id=\"ft\">&copy; 2008 Demo Search</div>\n</body>\n</html>\n";
    return html;
}

}  // namespace veltrap
