#include "demoworld/SitePage.h"

#include "demoworld/DemoDice.h"
#include "demoworld/DemoHash.h"
#include "demoworld/DemoText.h"
#include "demoworld/DemoWords.h"

namespace veltrap {
namespace {

using Reach = DemoSitePage::Reach;

// How the start page writes its link to a page; the menu of every page uses
// the same forms.
std::string MenuHref(const DemoSite& site, const DemoSitePage& page) {
    switch (page.reach) {
        case Reach::kStart:
            return "/";
        case Reach::kAbsolute:
            return site.SiteUrl(page.path, false);
        case Reach::kRelative:
            return std::string(page.path.substr(1));
        case Reach::kWwwAbsolute:
            return site.SiteUrl(page.path, true);
        case Reach::kRelativeSlash:
        case Reach::kTooLong:
            return std::string(page.path);
    }
    return std::string(page.path);
}

std::string Menu(const DemoSite& site) {
    std::string menu = "<ul id=\"menu\">\n";
    for (const DemoSitePage& page : DemoSite::Pages()) {
        if (page.reach != Reach::kTooLong) {
            menu += "<li><a href=\"" + MenuHref(site, page) + "\">" + std::string(page.title) +
                    "</a></li>\n";
        }
    }
    return menu + "</ul>\n";
}

std::string Partners(const DemoSite& site, const DemoSitePage& page, DemoDice& dice) {
    const auto listed = site.HostsListedOn(page.path);
    if (listed.empty()) {
        return {};
    }
    std::string text = page.reach == Reach::kStart
                           ? "<h2>Friends of " + site.Brand() + "</h2>\n<ul class=\"friends\">\n"
                           : "<h2>Sites we like</h2>\n<ul>\n";
    for (const std::size_t k : listed) {
        const DemoLinkingHost& host = site.Hosts()[k];
        text += "<li><a href=\"http://" + host.name + "/\">" + host.brand + "</a> - " +
                DemoWords::Sentence(dice.Below(100), site.Topic()) + "</li>\n";
    }
    return text + "</ul>\n";
}

}  // namespace

std::string RenderSitePage(const DemoSite& site, const DemoSitePage& page) {
    DemoDice dice(DemoHash(site.Identity()).Add("page").Add(page.path).Value());
    const bool start = page.reach == Reach::kStart;
    std::string html =
        "<!DOCTYPE html PUBLIC \"-//W3C//DTD XHTML 1.0 Transitional//EN\">\n<html>\n<head>\n"
        "<title>" +
        site.Brand() + " - " + (start ? Capitalized(site.Topic()) : std::string(page.title)) +
        "</title>\n</head>\n<body>\n<a href=\"#content\">Skip to content</a>\n"
        "<div id=\"header\"><a href=\"/\"><img src=\"/img/logo.gif\" alt=\"" +
        site.Brand() + "\" border=\"0\"></a></div>\n";
    html += Menu(site);
    html += "<div id=\"content\">\n<h1>" +
            (start ? "Welcome to " + site.Brand() : std::string(page.title)) + "</h1>\n";
    for (int i = 0; i < 3; ++i) {
        html += "<p>" + DemoWords::Sentence(dice.Below(100), site.Topic()) + " " +
                DemoWords::Sentence(dice.Below(100), site.Topic()) + "</p>\n";
    }
    if (start) {
        for (const DemoSitePage& other : DemoSite::Pages()) {
            if (other.reach == Reach::kTooLong) {
                html += "<p>Everything we ever published is in the <a href=\"" +
                        MenuHref(site, other) + "\">complete archive</a>.</p>\n";
            }
        }
    }
    html += Partners(site, page, dice);
    if (start) {
        html += "<p>We belong to the <a href=\"http://www.webring.example/" +
                PercentEncodeAll(site.Topic()) + "\">" + site.Topic() +
                " web ring</a> and the <a href=\"http://directory.demo-tools.example/\">demo "
                "directory</a>.</p>\n";
    }
    html += "</div>\n<div id=\"footer\"><a href=\"mailto:info@" + site.Identity() + "\">info@" +
            site.Identity() +
            "</a> | Valid <a href=\"http://validator.demo-tools.example/check?uri=referer\">HTML"
            "</a></div>\n</body>\n</html>\n";
    return html;
}

}  // namespace veltrap
