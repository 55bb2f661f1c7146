#include "services/htmlsearch/SearchResultPage.h"

#include "demoworld/DemoHash.h"
#include "demoworld/DemoHosts.h"
#include "demoworld/DemoText.h"

#include <algorithm>
#include <vector>

namespace veltrap {
namespace {

constexpr std::size_t kPerPage = 10;

// What one page shows: the results, where they start and whether more follow.
struct Window {
    std::vector<DemoSearchHit> hits;
    std::size_t pageIndex = 0;
    std::size_t total = 0;
    std::size_t from = 0;  // 0-based index of the first shown result
    std::size_t to = 0;    // one past the last shown result
    bool more = false;
};

Window Slice(DemoEngine engine, std::string_view query, long start, const DemoSite* site) {
    Window window;
    window.hits = DemoSearch::Results(engine, query, site);
    window.total = window.hits.size();
    const long origin = engine == DemoEngine::kGoogle ? 0 : 1;
    window.pageIndex = start > origin ? static_cast<std::size_t>(start - origin) / kPerPage : 0;
    window.from = std::min(window.total, window.pageIndex * kPerPage);
    window.to = std::min(window.total, window.from + kPerPage);
    window.more = window.to < window.total;
    return window;
}

// Where the engine's paging key points for page pageIndex.
long StartOf(DemoEngine engine, std::size_t pageIndex) {
    return static_cast<long>(pageIndex * kPerPage) + (engine == DemoEngine::kGoogle ? 0 : 1);
}

// The address of another result page. The query is escaped byte by byte, so
// that the page never spells out a site name that is searched for in it.
std::string PageHref(std::string_view path, std::string_view queryKey, std::string_view pageKey,
                     std::string_view query, long start) {
    return std::string(path) + "?" + std::string(queryKey) + "=" + PercentEncodeAll(query) +
           "&amp;" + std::string(pageKey) + "=" + std::to_string(start);
}

std::string Shown(const std::string& url) {
    const auto scheme = url.find("://");
    return HtmlEscape(scheme == std::string::npos ? url : url.substr(scheme + 3));
}

std::string Elapsed(std::string_view query) {
    return "0." + std::to_string(10 + DemoHash(query).Below(80));
}

std::string GooglePage(const Window& w, std::string_view query) {
    const std::string echo = HtmlEncodeAll(query);
    std::string html =
        "<html><head><meta http-equiv=\"content-type\" content=\"text/html; "
        "charset=ISO-8859-1\"><title>" +
        echo +
        " - Google Search</title></head>\n<body bgcolor=#ffffff>\n"
        "<form action=\"/search\" name=f><a href=\"/\"><img src=\"/images/logo_sm.gif\" "
        "width=150 height=55 alt=\"Go to Google Home\" border=0></a> <input type=text name=q "
        "size=41 maxlength=2048 value=\"" +
        echo + "\"> <input type=submit name=btnG value=\"Search\"></form>\n";
    if (w.from >= w.to) {
        return html + "<p>Your search - <b>" + echo +
               "</b> - did not match any documents.</p>\n</body></html>\n";
    }
    html += "<div id=ssb><p>Results <b>" + std::to_string(w.from + 1) + "</b> - <b>" +
            std::to_string(w.to) + "</b> of about <b>" + std::to_string(w.total) + "</b>. (<b>" +
            Elapsed(query) + "</b> seconds)</p></div>\n<div id=res><ol>\n";
    for (std::size_t i = w.from; i < w.to; ++i) {
        const DemoSearchHit& hit = w.hits[i];
        html += "<li class=g><h3 class=r><a class=l href=\"" + hit.url + "\">" +
                HtmlEscape(hit.title) + "</a></h3><div class=s>" + HtmlEscape(hit.snippet) +
                "<br><cite>" + Shown(hit.url) + "</cite> - " +
                std::to_string(3 + DemoHash(hit.url).Below(60)) + "k</div></li>\n";
    }
    html += "</ol></div>\n<div id=navbar><table align=center><tr>\n";
    if (w.pageIndex > 0) {
        html += "<td><a href=\"" +
                PageHref("/search", "q", "start", query,
                         StartOf(DemoEngine::kGoogle, w.pageIndex - 1)) +
                "\"><img src=/nav_previous.gif width=68 height=26 alt=\"\"><br>Previous</a></td>\n";
    }
    const std::size_t pages = (w.total + kPerPage - 1) / kPerPage;
    for (std::size_t p = 0; p < pages; ++p) {
        html += p == w.pageIndex ? "<td><b>" + std::to_string(p + 1) + "</b></td>"
                                 : "<td><a href=\"" +
                                       PageHref("/search", "q", "start", query,
                                                StartOf(DemoEngine::kGoogle, p)) +
                                       "\">" + std::to_string(p + 1) + "</a></td>";
    }
    html += "\n";
    if (w.more) {
        html += "<td><a href=\"" +
                PageHref("/search", "q", "start", query,
                         StartOf(DemoEngine::kGoogle, w.pageIndex + 1)) +
                "\"><img src=/nav_next.gif width=100 height=26 alt=\"\"><br><b>Next</b></a></td>\n";
    }
    return html + "</tr></table></div>\n</body></html>\n";
}

std::string YahooPage(const Window& w, std::string_view query) {
    const std::string echo = HtmlEncodeAll(query);
    std::string html =
        "<!doctype html public \"-//W3C//DTD HTML 4.01//EN\">\n<html><head><meta "
        "http-equiv=\"content-type\" content=\"text/html; charset=iso-8859-1\"><title>" +
        echo +
        " - Yahoo! Search Results</title></head>\n<body>\n<div id=\"yschsbx\"><form "
        "action=\"/search\"><input type=\"text\" name=\"p\" size=\"45\" value=\"" +
        echo + "\"> <input type=\"submit\" value=\"Web Search\"></form></div>\n";
    if (w.from >= w.to) {
        return html + "<div id=\"yschinfo\"><p>We did not find results for: <strong>" + echo +
               "</strong>.</p></div>\n</body></html>\n";
    }
    html += "<div id=\"yschinfo\"><p>" + std::to_string(w.from + 1) + " - " + std::to_string(w.to) +
            " of about " + std::to_string(w.total) + " for <strong>" + echo + "</strong> - " +
            Elapsed(query) + " sec.</p></div>\n";
    html +=
        "<div id=\"web\"><h2>Web Results</h2>\n<ol start=\"" + std::to_string(w.from + 1) + "\">\n";
    for (std::size_t i = w.from; i < w.to; ++i) {
        const DemoSearchHit& hit = w.hits[i];
        html += "<li><div class=\"res\"><div><h3><a class=yschttl href=\"" + hit.url + "\">" +
                HtmlEscape(hit.title) + "</a></h3></div><div class=\"abstr\">" +
                HtmlEscape(hit.snippet) + "</div><span class=url>" + Shown(hit.url) + "</span> - " +
                std::to_string(3 + DemoHash(hit.url).Below(60)) + "k</div></li>\n";
    }
    html += "</ol></div>\n<div id=\"pg\">";
    if (w.pageIndex > 0) {
        html += "<a href=\"" +
                PageHref("/search", "p", "b", query, StartOf(DemoEngine::kYahoo, w.pageIndex - 1)) +
                "\"><img src=\"http://" + std::string(kDemoImageHost) +
                "/i/us/search/gr/ar_prev.gif\" alt=\"\" border=\"0\"> Prev</a> ";
    }
    if (w.more) {
        html += "<a id=\"pg-next\" href=\"" +
                PageHref("/search", "p", "b", query, StartOf(DemoEngine::kYahoo, w.pageIndex + 1)) +
                "\">Next <img src=\"" + std::string(kDemoNextMarker) +
                "\" alt=\"\" border=\"0\"></a>";
    }
    return html + "</div>\n</body></html>\n";
}

std::string MsnPage(const Window& w, std::string_view query) {
    const std::string echo = HtmlEncodeAll(query);
    std::string html =
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Strict//EN\">\n<html><head><title>Live "
        "Search: " +
        echo +
        "</title></head>\n<body>\n<div id=\"sb_form\"><form action=\"/results.aspx\"><input "
        "type=\"text\" name=\"q\" value=\"" +
        echo + "\" /><input type=\"submit\" value=\"Search\" /></form></div>\n";
    if (w.from >= w.to) {
        return html + "<div id=\"results_area\"><p>No results found for <strong>" + echo +
               "</strong>.</p></div>\n</body></html>\n";
    }
    html += "<div id=\"results_area\"><div id=\"results_header\"><h5>Page " +
            std::to_string(w.pageIndex + 1) + " of " + std::to_string(w.total) +
            " results</h5></div>\n<div id=\"results\"><ul>\n";
    for (std::size_t i = w.from; i < w.to; ++i) {
        const DemoSearchHit& hit = w.hits[i];
        html += "<li class=\"first\"><h3><a href=\"" + hit.url + "\">" + HtmlEscape(hit.title) +
                "</a></h3><p>" + HtmlEscape(hit.snippet) + "</p><ul class=\"sb_meta\"><li><cite>" +
                Shown(hit.url) + "</cite></li></ul></li>\n";
    }
    html += "</ul></div>\n<ul class=\"sb_pag\">";
    if (w.pageIndex > 0) {
        html += "<li><a href=\"" +
                PageHref("/results.aspx", "q", "first", query,
                         StartOf(DemoEngine::kMsn, w.pageIndex - 1)) +
                "\">Previous</a></li>";
    }
    if (w.more) {
        html += "<li><a href=\"" +
                PageHref("/results.aspx", "q", "first", query,
                         StartOf(DemoEngine::kMsn, w.pageIndex + 1)) +
                "\">Next</a></li>";
    }
    return html + "</ul></div>\n</body></html>\n";
}

}  // namespace

std::string RenderSearchPage(DemoEngine engine, std::string_view query, long start,
                             const DemoSite* site) {
    const Window window = Slice(engine, query, start, site);
    switch (engine) {
        case DemoEngine::kGoogle:
            return GooglePage(window, query);
        case DemoEngine::kYahoo:
            return YahooPage(window, query);
        case DemoEngine::kMsn:
            return MsnPage(window, query);
    }
    return {};
}

}  // namespace veltrap
