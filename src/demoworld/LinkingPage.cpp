#include "demoworld/LinkingPage.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"
#include "demoworld/DemoDice.h"
#include "demoworld/DemoHash.h"
#include "demoworld/DemoText.h"
#include "demoworld/DemoWords.h"

#include <array>
#include <string_view>

namespace veltrap {
namespace {

constexpr std::array<std::string_view, 6> kAuthors = {"Margaret", "Tom",   "Ingrid",
                                                      "Dev",      "Lucia", "Sam"};
constexpr std::array<std::string_view, 12> kMonths = {
    "January", "February", "March",     "April",   "May",      "June",
    "July",    "August",   "September", "October", "November", "December",
};

// Everything one page is written from.
struct PageParts {
    const DemoSite& site;
    const DemoBacklink& link;
    const DemoLinkingHost& host;
    DemoDice dice;
};

std::string Paragraph(PageParts& parts, int sentences) {
    std::string text = "<p>";
    for (int i = 0; i < sentences; ++i) {
        if (i > 0) {
            text += ' ';
        }
        text += DemoWords::Sentence(parts.dice.Below(100), parts.link.topic);
    }
    return text + "</p>\n";
}

// Links to other hosts of the same little web, never to the profiled site.
std::string FriendLinks(PageParts& parts, int count) {
    const auto& hosts = parts.site.Hosts();
    std::string text;
    for (int i = 0; i < count; ++i) {
        const DemoLinkingHost& other = hosts[parts.dice.Below(hosts.size())];
        text += "<li><a href=\"http://" + other.name + "/\">" + other.brand + "</a></li>\n";
    }
    return text;
}

std::string SiteHref(const PageParts& parts) {
    return parts.site.SiteUrl(parts.link.hrefPage, parts.link.hrefWww);
}

// The link text as the author typed it around the plain words.
std::string Decorated(PageParts& parts, const std::string& phrase) {
    switch (parts.dice.Below(9)) {
        case 1:
            return "<b>" + phrase + "</b>";
        case 2: {
            const auto blank = phrase.find(' ');
            if (blank == std::string::npos) {
                return "<span class=\"hl\">" + phrase + "</span>";
            }
            return "<span class=\"hl\">" + phrase.substr(0, blank) + "</span>" +
                   phrase.substr(blank);
        }
        case 3: {
            std::string spaced;
            for (const char c : phrase) {
                spaced += c == ' ' ? std::string("  ") : std::string(1, c);
            }
            return "\n    " + spaced + "  \n";
        }
        case 4: {
            static constexpr std::array<std::string_view, 3> kMarks = {".", ",", ";"};
            return phrase + std::string(parts.dice.Pick(std::span<const std::string_view>(kMarks)));
        }
        case 5: {
            const auto blank = phrase.find(' ');
            if (blank == std::string::npos) {
                return "&quot;" + phrase + "&quot;";
            }
            return phrase.substr(0, blank) + "&nbsp;" + phrase.substr(blank + 1);
        }
        case 6:
            return "<img src=\"/img/arrow.gif\" width=\"9\" height=\"9\" alt=\"\">&nbsp;" + phrase;
        case 7:
            return "\t" + phrase + "\r\n";
        case 8:
            return "&raquo; " + phrase;
        default:
            return phrase;
    }
}

std::string TextLink(PageParts& parts, const std::string& href, const std::string& phrase) {
    const std::string text = Decorated(parts, phrase);
    switch (parts.dice.Below(5)) {
        case 1:
            return "<a href=\"" + href + "\" target=\"_blank\">" + text + "</a>";
        case 2:
            return "<a class=\"ext\" href=\"" + href + "\">" + text + "</a>";
        case 3:
            return "<a title=\"" + phrase + "\" href=\"" + href + "\">" + text + "</a>";
        case 4:
            return "<A HREF=\"" + href + "\">" + text + "</A>";
        default:
            return "<a href=\"" + href + "\">" + text + "</a>";
    }
}

std::string LeadIn(PageParts& parts) {
    static constexpr std::array<std::string_view, 5> kLeads = {
        "One site I keep coming back to:", "Well worth a visit:",
        "Recommended by our members:",     "For more on this, see",
        "I found this one last month:",
    };
    return std::string(parts.dice.Pick(std::span<const std::string_view>(kLeads)));
}

// The part of the page that concerns the profiled site.
std::string LinkBlock(PageParts& parts) {
    const DemoBacklink& link = parts.link;
    const std::string& site = parts.site.Identity();
    const std::string href = SiteHref(parts);
    switch (link.kind) {
        case DemoLinkKind::kShortText:
            return "<p>" + LeadIn(parts) + " <a href=\"" + href + "\">" + link.anchorPhrase +
                   "</a></p>\n";
        case DemoLinkKind::kImageMapAlt: {
            const auto& hosts = parts.site.Hosts();
            const DemoLinkingHost& left = hosts[parts.dice.Below(hosts.size())];
            const DemoLinkingHost& right = hosts[parts.dice.Below(hosts.size())];
            return "<p>Our partners:<br>\n<img src=\"/img/partners.gif\" width=\"468\" "
                   "height=\"60\" "
                   "border=\"0\" usemap=\"#partners\" alt=\"Our partners\">\n"
                   "<map name=\"partners\">\n"
                   "<area shape=\"rect\" coords=\"0,0,155,60\" href=\"http://" +
                   left.name + "/\" alt=\"" + left.brand +
                   "\">\n"
                   "<area shape=\"rect\" coords=\"156,0,311,60\" href=\"" +
                   href + "\" alt=\"" + link.anchorPhrase +
                   "\">\n"
                   "<area shape=\"rect\" coords=\"312,0,467,60\" href=\"http://" +
                   right.name + "/\" alt=\"" + right.brand + "\">\n</map></p>\n";
        }
        case DemoLinkKind::kImageAlt:
            return "<p><a href=\"" + href +
                   "\"><img src=\"/img/badge.gif\" width=\"88\" height=\"31\" border=\"0\" alt=\"" +
                   link.anchorPhrase + "\"></a> " +
                   DemoWords::Sentence(parts.dice.Below(100), link.topic) + "</p>\n";
        case DemoLinkKind::kImageNoAlt: {
            // Some authors show the site's own button straight from the site.
            const std::string image = parts.dice.Chance(50)
                                          ? "/img/button-88x31.gif"
                                          : parts.site.SiteUrl("/img/button.gif", true);
            return "<p><a href=\"" + href + "\" target=\"_blank\"><img src=\"" + image +
                   "\" width=\"88\" height=\"31\" border=\"0\"></a></p>\n";
        }
        case DemoLinkKind::kSeveralPages: {
            std::string list = "<p>" + LeadIn(parts) + "</p>\n<ul>\n<li>" +
                               TextLink(parts, href, link.anchorPhrase) + "</li>\n";
            // One other page is always listed, so there are always several.
            const std::string_view always =
                link.hrefPage == "/contact.html" ? "/products.html" : "/contact.html";
            for (const auto& page : DemoSite::Pages()) {
                const bool wanted = page.path == always || parts.dice.Chance(40);
                if (page.path != link.hrefPage && page.path.size() < 24 && wanted) {
                    list += "<li><a href=\"" +
                            parts.site.SiteUrl(page.path, parts.dice.Chance(60)) + "\">" +
                            parts.site.Brand() + " " + LowerAscii(page.title) + "</a></li>\n";
                }
            }
            return list + "</ul>\n";
        }
        case DemoLinkKind::kPlainMention: {
            static constexpr std::array<std::string_view, 3> kForms = {"%", "www.%",
                                                                       "http://www.%/"};
            std::string named(parts.dice.Pick(std::span<const std::string_view>(kForms)));
            named.replace(named.find('%'), 1, site);
            return "<p>I used to send people to " + named +
                   " for this, but these days I just print the handouts myself. " +
                   DemoWords::Sentence(parts.dice.Below(100), link.topic) + "</p>\n";
        }
        case DemoLinkKind::kNoLink:
            // A page that still answers has moved its links into a widget
            // that its script fills once the page has loaded; the address
            // is split so that the page as sent holds no link at all.
            if (link.answer == DemoPageAnswer::kPage) {
                const std::size_t split = href.find("//") + 2;
                return "<p>Our readers recommend:</p>\n<ul id=\"recommended\"></ul>\n"
                       "<script type=\"text/javascript\">\n"
                       "document.addEventListener(\"DOMContentLoaded\", function () {\n"
                       "  var item = document.createElement(\"li\");\n"
                       "  var link = document.createElement(\"a\");\n"
                       "  link.setAttribute(\"href\", \"" +
                       href.substr(0, split) + "\" + \"" + href.substr(split) +
                       "\");\n"
                       "  link.textContent = \"" +
                       parts.site.Brand() + " " + link.topic +
                       "\";\n"
                       "  item.appendChild(link);\n"
                       "  document.getElementById(\"recommended\").appendChild(item);\n"
                       "});\n</script>\n";
            }
            return "<p>The links that used to be on this page have been removed while the "
                   "page is being rewritten.</p>\n";
        case DemoLinkKind::kSingleQuoted:
            return "<p>" + LeadIn(parts) + " <a href='" + href + "'>" + link.anchorPhrase +
                   "</a></p>\n";
        default: {
            std::string block;
            if (parts.dice.Chance(20)) {
                block += "<p>Readers keep asking me about " + site + ", so here it is.</p>\n";
            }
            return block + "<p>" + LeadIn(parts) + " " + TextLink(parts, href, link.anchorPhrase) +
                   (parts.dice.Chance(50) ? "." : " - " + Capitalized(link.topic) + ".") + "</p>\n";
        }
    }
}

std::string Head(PageParts& parts) {
    const DemoBacklink& link = parts.link;
    if (link.kind == DemoLinkKind::kEarlyMention && parts.dice.Chance(50)) {
        // An old page whose title names the site in its first bytes.
        return "<html><head><title>" + parts.site.Identity() + " - " + link.title +
               "</title></head>\n<body>\n";
    }
    std::string head;
    if (link.kind == DemoLinkKind::kEarlyMention) {
        // A "back to" button pasted above everything else.
        head += "<a href=\"" + parts.site.SiteUrl("/", false) +
                "\"><img src=\"/img/back.gif\" border=\"0\" alt=\"\"></a>\n";
    }
    return head +
           "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\">\n<html>\n<head>\n"
           "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n"
           "<title>" +
           link.title +
           "</title>\n<link rel=\"stylesheet\" type=\"text/css\" href=\"/style.css\">\n"
           "</head>\n<body>\n";
}

std::string ArticlePage(PageParts& parts) {
    const DemoBacklink& link = parts.link;
    std::string page = Head(parts);
    page += "<div id=\"header\"><a href=\"/\"><img src=\"/img/logo.gif\" alt=\"" +
            parts.host.brand + "\" width=\"180\" height=\"60\" border=\"0\"></a>\n";
    page += "<p class=\"tagline\">" + Capitalized(link.topic) + " for everyone</p></div>\n";
    page +=
        "<div id=\"nav\"><a href=\"/\">Home</a> | <a href=\"/about.html\">About</a> | "
        "<a href=\"/links/\">Links</a> | <a href=\"/contact.html\">Contact</a></div>\n";
    page += "<div id=\"content\">\n<h1>" + link.title + "</h1>\n";
    page += "<p class=\"date\">Posted on " +
            std::string(parts.dice.Pick(std::span<const std::string_view>(kMonths))) + " " +
            std::to_string(1 + parts.dice.Below(28)) + ", 2008 by " +
            std::string(parts.dice.Pick(std::span<const std::string_view>(kAuthors))) + "</p>\n";
    page += Paragraph(parts, 3);
    page += LinkBlock(parts);
    page += Paragraph(parts, 2);
    page += "<p class=\"comments\"><a href=\"#comments\">" + std::to_string(parts.dice.Below(9)) +
            " comments</a></p>\n</div>\n";
    page +=
        "<div id=\"sidebar\"><h3>Friends</h3>\n<ul>\n" + FriendLinks(parts, 3) + "</ul></div>\n";
    page += "<div id=\"footer\">Copyright &copy; 2008 " + parts.host.brand +
            ". All rights reserved.</div>\n</body>\n</html>\n";
    return page;
}

std::string DirectoryPage(PageParts& parts) {
    const DemoBacklink& link = parts.link;
    std::string page = Head(parts);
    page +=
        "<table width=\"100%\" cellpadding=\"4\"><tr><td bgcolor=\"#336699\">"
        "<font face=\"Arial\" color=\"#ffffff\" size=\"2\"><b>" +
        parts.host.brand + "</b> &gt; Links &gt; " + Capitalized(link.topic) +
        "</font></td></tr></table>\n";
    page += "<h2>" + link.title + "</h2>\n";
    page += Paragraph(parts, 2);
    page += "<ul>\n" + FriendLinks(parts, 2) + "</ul>\n";
    page += LinkBlock(parts);
    page += "<ul>\n" + FriendLinks(parts, 2) + "</ul>\n";
    page += Paragraph(parts, 1);
    page += "<hr>\n<p><font size=\"1\">Last updated " +
            std::string(parts.dice.Pick(std::span<const std::string_view>(kMonths))) +
            " 2008. <a href=\"/\">Back to " + parts.host.brand +
            "</a></font></p>\n</body>\n</html>\n";
    return page;
}

// What a page says of its link to the site and of itself beyond the words:
// rel values on the link, robots tags in the head or the headers, and a
// canonical address. Each is drawn from the page's address rather than from
// its dice, so the words and links of the page stay as they were.
void AddLinkSignals(const PageParts& parts, DemoAnswer& answer) {
    const std::string& url = parts.link.url;
    std::string& page = answer.body;

    static constexpr std::array<std::string_view, 9> kRels = {
        "nofollow",  "nofollow",           "external nofollow",   "ugc", "ugc", "nofollow ugc",
        "sponsored", "nofollow sponsored", "noopener noreferrer",
    };
    const std::size_t rel = DemoHash(url).Add("rel").Below(36);
    const std::string target = "=\"" + SiteHref(parts) + "\"";
    const auto link = page.find(target);
    if (rel < kRels.size() && link != std::string::npos) {
        page.insert(link + target.size(), " rel=\"" + std::string(kRels[rel]) + "\"");
    }

    std::string head;
    switch (DemoHash(url).Add("robots").Below(50)) {
        case 0:
        case 1:
            head += "<meta name=\"robots\" content=\"noindex\">\n";
            break;
        case 2:
            head += "<meta name=\"ROBOTS\" content=\"NOINDEX, NOFOLLOW\">\n";
            break;
        case 3:
            head += "<meta name=\"googlebot\" content=\"noindex\">\n";
            break;
        case 4:
            answer.headers.emplace_back("X-Robots-Tag", "noindex");
            break;
        case 5:
        case 6:
            head += "<meta name=\"robots\" content=\"nofollow\">\n";
            break;
        case 7:
            answer.headers.emplace_back("X-Robots-Tag", "googlebot: none");
            break;
        case 8:
        case 9:
            head += "<meta name=\"robots\" content=\"index, follow\">\n";
            break;
        default:
            break;
    }
    const std::size_t canonical = DemoHash(url).Add("canonical").Below(10);
    if (canonical < 2) {
        head += "<link rel=\"canonical\" href=\"" + url + "\">\n";
    } else if (canonical == 2) {
        head += "<link rel=\"canonical\" href=\"/\">\n";
    }
    if (const auto end = page.find("</head>"); end != std::string::npos) {
        page.insert(end, head);
    }
}

// The server's answer for a page that is no longer served.
DemoAnswer ErrorPage(const DemoBacklink& link) {
    const std::size_t start = link.url.find('/', link.url.find("//") + 2);
    const std::string path = start == std::string::npos ? "/" : link.url.substr(start);
    if (link.answer == DemoPageAnswer::kNotFound) {
        return DemoAnswer::NotFound(path);
    }
    DemoAnswer answer;
    std::string title;
    std::string text;
    switch (link.answer) {
        case DemoPageAnswer::kGone:
            answer.status = 410;
            title = "410 Gone";
            text = "The requested resource " + HtmlEscape(path) +
                   " is no longer available on this server and there is no forwarding address.";
            break;
        case DemoPageAnswer::kForbidden:
            answer.status = 403;
            title = "403 Forbidden";
            text = "You don't have permission to access " + HtmlEscape(path) + " on this server.";
            break;
        default:
            answer.status = 500;
            title = "500 Internal Server Error";
            text =
                "The server encountered an internal error and was unable to complete your "
                "request.";
            break;
    }
    answer.body = "<html><head><title>" + title + "</title></head>\n<body><h1>" + title.substr(4) +
                  "</h1>\n<p>" + text + "</p>\n</body></html>\n";
    return answer;
}

}  // namespace

std::optional<DemoAnswer> RenderLinkingPage(const DemoSite& site, std::size_t index) {
    const auto& backlinks = site.Backlinks();
    if (index >= backlinks.size()) {
        return std::nullopt;
    }
    const DemoBacklink& link = backlinks[backlinks[index].page];
    if (link.kind == DemoLinkKind::kOwnPage) {
        return std::nullopt;
    }
    if (link.answer != DemoPageAnswer::kPage && link.answer != DemoPageAnswer::kNoAnswer) {
        return ErrorPage(link);
    }
    PageParts parts{site, link, site.Hosts()[link.host], DemoDice(link.seed)};
    DemoAnswer answer = DemoAnswer::Html(
        DemoHash(parts.host.name).Below(3) == 0 ? DirectoryPage(parts) : ArticlePage(parts));
    AddLinkSignals(parts, answer);
    return answer;
}

}  // namespace veltrap
