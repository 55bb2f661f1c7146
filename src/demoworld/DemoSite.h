#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// What a backlink result of the demo web turns out to be when it is visited.
enum class DemoLinkKind {
    kTextLink,      // an ordinary text link; its words may or may not name the site
    kShortText,     // a text link of one or two characters
    kImageMapAlt,   // an image map area that carries alt text
    kImageAlt,      // an image inside a link, the alt text on the image
    kImageNoAlt,    // an image inside a link, without alt text
    kSeveralPages,  // links to several pages of the site, one after another
    kPlainMention,  // names the site in its text but never links to it
    kEarlyMention,  // names the site within its first few bytes, links further down
    kNoLink,        // neither names nor links to the site any more
    kSingleQuoted,  // links with the address in single quotes
    kOwnPage,       // a page of the profiled site itself
    kDuplicate,     // the address of an earlier result, listed again
};

// How a linking page answers. Most answer with the page; some of the pages
// that lost their link answer as a server does whose page is gone, refused or
// broken, or live at an https address the demo web cannot answer at all.
enum class DemoPageAnswer {
    kPage,
    kNotFound,     // 404
    kGone,         // 410
    kForbidden,    // 403
    kServerError,  // 500
    kNoAnswer,     // an https address, which the plain-HTTP demo web never answers
};

// Where the profiled site links back to a linking host, if anywhere.
enum class DemoLinkBack {
    kNone,
    kLinkedPage,      // on the page of the site that the host's link points at
    kStartPage,       // on the start page
    kFollowedPage,    // on a page the start page links to in a form a reader follows
    kUnfollowedPage,  // only on a page the start page reaches through a www. or over-long link
};

// A page of the profiled site and how its start page links to it.
struct DemoSitePage {
    enum class Reach {
        kStart,          // the start page itself
        kAbsolute,       // "http://site/page"
        kRelative,       // "page", no leading slash
        kRelativeSlash,  // "/page"
        kWwwAbsolute,    // "http://www.site/page"
        kTooLong,        // a relative link longer than 94 characters
    };
    std::string_view path;
    std::string_view title;
    Reach reach;
};

struct DemoLinkingHost {
    std::string name;   // "www.amberfield.example"
    std::string brand;  // "Amberfield"
    DemoLinkBack linkBack = DemoLinkBack::kNone;
    // The site page that lists the host for kFollowedPage and kUnfollowedPage.
    std::string_view listedOn;
};

struct DemoBacklink {
    DemoLinkKind kind = DemoLinkKind::kTextLink;
    // The linking page's address; for kOwnPage the path on the profiled site,
    // which the backlink service prefixes with the site as it was asked for.
    std::string url;
    std::size_t page = 0;  // the entry whose page url shows: itself unless kDuplicate
    std::size_t host = 0;  // index into Hosts(); unused for kOwnPage
    std::string topic;
    std::string title;
    // The plain words of the page's first link to the site (or of the image's
    // alt text); empty when the page has no such words.
    std::string anchorPhrase;
    std::string_view hrefPage;  // the site page the first link points at
    bool hrefWww = true;        // whether that link is written with "www."
    std::uint64_t seed = 0;     // further choices of presentation
    DemoPageAnswer answer = DemoPageAnswer::kPage;
};

// One site of the demo web and everything around it: the pages that link to
// it, the hosts they live on and where the site links back. Built from the
// site's identity (see SiteIdentity) alone, so every page that needs the same
// facts computes them the same way.
class DemoSite {
public:
    // size is the number of backlink results; 0 lets the site choose its own.
    DemoSite(std::string identity, int size);

    const std::string& Identity() const { return identity_; }
    const std::string& Brand() const { return brand_; }
    const std::string& Topic() const { return topic_; }
    const std::vector<DemoBacklink>& Backlinks() const { return backlinks_; }
    const std::vector<DemoLinkingHost>& Hosts() const { return hosts_; }

    // "http://www." or "http://" + identity + path.
    std::string SiteUrl(std::string_view path, bool www) const;
    // The hosts a page of the site lists as link partners, in host order.
    std::vector<std::size_t> HostsListedOn(std::string_view path) const;

    static std::span<const DemoSitePage> Pages();
    static const DemoSitePage* FindPage(std::string_view path);
    // The number of backlinks a site has when no size is set: a few dozen to a
    // few hundred, depending on the site.
    static int NaturalSize(std::string_view identity);

    // Linking pages carry the site and their index in their own path, written
    // so that the path never contains the site's name.
    static std::string LinkingPath(std::string_view folder, std::size_t index,
                                   std::string_view identity);
    struct LinkingAddress {
        std::string identity;
        std::size_t index = 0;
    };
    static std::optional<LinkingAddress> ParseLinkingPath(std::string_view path);
    // A few linking pages are front pages of their hosts, addressed with no
    // path at all ("http://host.example?page=..."), so that the reports have
    // home page links to count.
    static std::string FrontPageQuery(std::size_t index, std::string_view identity);
    static std::optional<LinkingAddress> ParseFrontPageQuery(std::string_view query);

private:
    static std::optional<LinkingAddress> ParseLinkingName(std::string_view name);
    void BuildHosts(std::size_t count);
    void BuildBacklinks(std::size_t count);
    std::string DomainPhrase(std::string_view topic, std::size_t choice) const;
    std::string OtherPhrase(std::string_view topic, std::size_t choice) const;

    std::string identity_;
    std::string brand_;
    std::string topic_;
    std::vector<DemoLinkingHost> hosts_;
    std::vector<DemoBacklink> backlinks_;
};

}  // namespace veltrap
