#include "services/pagerankpage/PageRankAnswer.h"

#include "demoworld/DemoHash.h"
#include "demoworld/DemoText.h"

#include <array>
#include <cstdint>

namespace veltrap {
namespace {

constexpr std::array<std::string_view, 11> kColours = {
    "#999999", "#cc0000", "#cc3300", "#cc6600", "#cc9900", "#999900",
    "#669900", "#339900", "#009900", "#006600", "#003300",
};

// A home page (nothing after the host but perhaps a slash) ranks higher.
bool IsHomePage(std::string_view url) {
    const auto scheme = url.find("//");
    const auto slash = url.find('/', scheme == std::string_view::npos ? 0 : scheme + 2);
    return slash == std::string_view::npos || slash + 1 == url.size();
}

}  // namespace

std::string RenderPageRankAnswer(std::string_view pageUrl) {
    std::string html =
        "<html><head><title>PageRank Checker</title></head>\n<body>\n<h1>PageRank "
        "Checker</h1>\n<form action=\"/\" method=\"get\">Address: <input type=\"text\" "
        "name=\"url\" size=\"50\"> <input type=\"submit\" value=\"Check\"></form>\n";
    if (pageUrl.empty()) {
        return html + "</body></html>\n";
    }
    html += "<p>Address: " + HtmlEscape(pageUrl) + "</p>\n";
    const std::uint64_t roll = DemoHash(pageUrl).Add("pagerank").Value();
    const std::uint64_t kind = roll % 100;
    if (kind < 4) {
        return html +
               "<p>The toolbar server is busy. Please try again in a minute.</p>\n"
               "</body></html>\n";
    }
    if (kind < 7) {
        return html + "<p>Your pagerank is: not known for this address.</p>\n</body></html>\n";
    }
    if (kind < 13) {
        return html +
               "<p>Your pagerank is: <b><font color=\"#999999\">n/a</font></b></p>\n"
               "</body></html>\n";
    }
    const std::uint64_t spread = (roll / 100) % 7;
    const std::uint64_t value = IsHomePage(pageUrl) ? 2 + (roll / 1000) % 9 : spread;
    return html + "<p>Your pagerank is: <b><font color=\"" + std::string(kColours[value]) + "\">" +
           std::to_string(value) + "</font></b>/10</p>\n</body></html>\n";
}

}  // namespace veltrap
