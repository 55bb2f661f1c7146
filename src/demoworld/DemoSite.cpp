#include "demoworld/DemoSite.h"

#include "demoworld/DemoDice.h"
#include "demoworld/DemoHash.h"
#include "demoworld/DemoText.h"
#include "demoworld/DemoWords.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <set>
#include <utility>

namespace veltrap {
namespace {

using Reach = DemoSitePage::Reach;

constexpr std::string_view kArchivePath =
    "/archive/2008/the-complete-and-unabridged-catalogue-of-everything-we-ever-wrote-about-our-"
    "subject.html";
static_assert(kArchivePath.size() > 94, "the archive link must be too long to be followed");

constexpr std::array<DemoSitePage, 9> kPages = {{
    {"/", "Home", Reach::kStart},
    {"/products.html", "Products", Reach::kAbsolute},
    {"/services/index.html", "Services", Reach::kRelative},
    {"/blog/", "Blog", Reach::kRelativeSlash},
    {"/links.html", "Link partners", Reach::kRelativeSlash},
    {"/resources.html", "Resources", Reach::kRelative},
    {"/contact.html", "Contact", Reach::kRelative},
    {"/about.html", "About us", Reach::kWwwAbsolute},
    {kArchivePath, "Archive", Reach::kTooLong},
}};

// The pages a linking page's first link may point at; the start page most often.
constexpr std::array<std::string_view, 10> kHrefPages = {
    "/",
    "/",
    "/",
    "/",
    "/products.html",
    "/about.html",
    "/blog/",
    "/services/index.html",
    "/contact.html",
    "/products.html",
};

constexpr std::array<std::string_view, 5> kFollowedPages = {
    "/products.html", "/services/index.html", "/blog/", "/links.html", "/resources.html",
};
constexpr std::array<std::string_view, 2> kUnfollowedPages = {"/about.html", kArchivePath};

constexpr std::array<std::string_view, 4> kOwnPages = {
    "/products.html",
    "/about.html",
    "/blog/",
    "/contact.html",
};

// Hosts take their link-back place from this ring, starting at a point that
// depends on the site, so that even a small site has every kind.
constexpr std::array<DemoLinkBack, 10> kLinkBackRing = {
    DemoLinkBack::kLinkedPage,   DemoLinkBack::kStartPage,  DemoLinkBack::kFollowedPage,
    DemoLinkBack::kNone,         DemoLinkBack::kLinkedPage, DemoLinkBack::kUnfollowedPage,
    DemoLinkBack::kFollowedPage, DemoLinkBack::kNone,       DemoLinkBack::kNone,
    DemoLinkBack::kNone,
};

constexpr std::array<std::string_view, 6> kHostPrefixes = {"www.", "www.",  "www.",
                                                           "",     "blog.", "forum."};

// Results after the opening block are drawn by these weights (out of 100).
struct KindWeight {
    DemoLinkKind kind;
    int weight;
};
constexpr std::array<KindWeight, 12> kKindWeights = {{
    {DemoLinkKind::kTextLink, 50},
    {DemoLinkKind::kShortText, 3},
    {DemoLinkKind::kImageMapAlt, 4},
    {DemoLinkKind::kImageAlt, 5},
    {DemoLinkKind::kImageNoAlt, 5},
    {DemoLinkKind::kSeveralPages, 7},
    {DemoLinkKind::kPlainMention, 5},
    {DemoLinkKind::kEarlyMention, 4},
    {DemoLinkKind::kNoLink, 5},
    {DemoLinkKind::kSingleQuoted, 3},
    {DemoLinkKind::kOwnPage, 5},
    {DemoLinkKind::kDuplicate, 4},
}};
// The opening block holds every kind once and this many ordinary text links,
// in an order that depends on the site.
constexpr std::size_t kOpeningTextLinks = 12;
// Share of the later text links that sit on their host's front page.
constexpr std::uint64_t kFrontPagePercent = 10;
// The pages that lost their link answer in these ways in turn, so that even
// a small site shows the first few.
constexpr std::array<DemoPageAnswer, 6> kLostLinkAnswers = {
    DemoPageAnswer::kNotFound, DemoPageAnswer::kServerError, DemoPageAnswer::kNoAnswer,
    DemoPageAnswer::kPage,     DemoPageAnswer::kGone,        DemoPageAnswer::kForbidden,
};

DemoLinkKind DrawKind(DemoDice& dice) {
    int roll = static_cast<int>(dice.Below(100));
    for (const auto& entry : kKindWeights) {
        if (roll < entry.weight) {
            return entry.kind;
        }
        roll -= entry.weight;
    }
    return DemoLinkKind::kTextLink;
}

bool LinksToSite(DemoLinkKind kind) {
    switch (kind) {
        case DemoLinkKind::kPlainMention:
        case DemoLinkKind::kNoLink:
        case DemoLinkKind::kOwnPage:
        case DemoLinkKind::kDuplicate:
            return false;
        default:
            return true;
    }
}

std::string Replace(std::string text, std::string_view what, std::string_view with) {
    for (auto at = text.find(what); at != std::string::npos;
         at = text.find(what, at + with.size())) {
        text.replace(at, what.size(), with);
    }
    return text;
}

}  // namespace

DemoSite::DemoSite(std::string identity, int size)
    : identity_(std::move(identity)), brand_(BrandOf(identity_)) {
    const auto topics = DemoWords::Topics();
    topic_ = std::string(topics[DemoHash(identity_).Add("topic").Below(topics.size())]);
    const auto count = static_cast<std::size_t>(size > 0 ? size : NaturalSize(identity_));
    BuildHosts(std::max<std::size_t>(1, (count * 2 + 2) / 3));
    BuildBacklinks(count);
}

void DemoSite::BuildHosts(std::size_t count) {
    const auto parts = DemoWords::NameParts();
    const std::size_t ringStart = DemoHash(identity_).Add("ring").Below(kLinkBackRing.size());
    std::set<std::string> taken;
    hosts_.reserve(count);
    for (std::size_t k = 0; k < count; ++k) {
        DemoDice dice(DemoHash(identity_).Add("host").Add(k).Value());
        // Two different parts: the second is drawn from the others.
        const std::size_t first = dice.Below(parts.size());
        const std::size_t second = (first + 1 + dice.Below(parts.size() - 1)) % parts.size();
        std::string label =
            std::string(parts[first]) + (dice.Chance(20) ? "-" : "") + std::string(parts[second]);
        const std::string prefix(dice.Pick(std::span<const std::string_view>(kHostPrefixes)));
        std::string name = prefix + label + ".example";
        for (int n = 2; taken.contains(name); ++n) {
            name = prefix + label + std::to_string(n) + ".example";
        }
        taken.insert(name);

        DemoLinkingHost host;
        host.name = name;
        host.brand = BrandOf(label);
        host.linkBack = kLinkBackRing[(k + ringStart) % kLinkBackRing.size()];
        if (host.linkBack == DemoLinkBack::kFollowedPage) {
            host.listedOn = dice.Pick(std::span<const std::string_view>(kFollowedPages));
        } else if (host.linkBack == DemoLinkBack::kUnfollowedPage) {
            host.listedOn = dice.Pick(std::span<const std::string_view>(kUnfollowedPages));
        }
        hosts_.push_back(std::move(host));
    }
}

void DemoSite::BuildBacklinks(std::size_t count) {
    // The opening block: every kind once plus some ordinary text links, shuffled.
    std::vector<DemoLinkKind> opening;
    for (const auto& entry : kKindWeights) {
        opening.push_back(entry.kind);
    }
    opening.insert(opening.end(), kOpeningTextLinks, DemoLinkKind::kTextLink);
    DemoDice shuffle(DemoHash(identity_).Add("opening").Value());
    for (std::size_t i = opening.size(); i > 1; --i) {
        std::swap(opening[i - 1], opening[shuffle.Below(i)]);
    }

    const std::string hex = HexEncode(identity_);
    const auto folders = DemoWords::Folders();
    backlinks_.reserve(count);
    std::size_t lostLinks = 0;
    for (std::size_t j = 0; j < count; ++j) {
        DemoDice dice(DemoHash(identity_).Add("backlink").Add(j).Value());
        DemoBacklink link;
        link.kind = j < opening.size() ? opening[j] : DrawKind(dice);
        link.page = j;
        link.host = j % hosts_.size();
        link.seed = dice.Next();
        link.topic = dice.Chance(12) ? std::string(dice.Pick(DemoWords::AccentedTopics()))
                                     : std::string(dice.Pick(DemoWords::Topics()));
        const DemoLinkingHost& host = hosts_[link.host];
        link.title = dice.Chance(50) ? Capitalized(link.topic) + " links - " + host.brand
                                     : host.brand + ": notes on " + link.topic;
        link.url = "http://" + host.name + LinkingPath(dice.Pick(folders), j, identity_);
        link.hrefPage = dice.Pick(std::span<const std::string_view>(kHrefPages));
        link.hrefWww = dice.Chance(70);

        const std::size_t phraseChoice = dice.Below(8);
        switch (link.kind) {
            case DemoLinkKind::kTextLink:
                // Drawn apart from the page's own dice, so the rest of the
                // page stays as it was.
                if (j >= opening.size() &&
                    DemoHash(identity_).Add("front page").Add(j).Below(100) < kFrontPagePercent) {
                    link.url = "http://" + host.name + FrontPageQuery(j, identity_);
                }
                [[fallthrough]];
            case DemoLinkKind::kImageMapAlt:
            case DemoLinkKind::kImageAlt:
            case DemoLinkKind::kSeveralPages:
            case DemoLinkKind::kEarlyMention:
            case DemoLinkKind::kSingleQuoted:
                link.anchorPhrase = dice.Chance(60) ? DomainPhrase(link.topic, phraseChoice)
                                                    : OtherPhrase(link.topic, phraseChoice);
                break;
            case DemoLinkKind::kShortText:
                link.anchorPhrase = std::string(dice.Pick(DemoWords::ShortAnchors()));
                break;
            case DemoLinkKind::kOwnPage:
                link.url = std::string(dice.Pick(std::span<const std::string_view>(kOwnPages)));
                break;
            case DemoLinkKind::kNoLink:
                // Taken in turn rather than from the dice, which the rest of
                // the site is drawn from.
                link.answer = kLostLinkAnswers[lostLinks++ % kLostLinkAnswers.size()];
                if (link.answer == DemoPageAnswer::kNoAnswer) {
                    link.url.insert(4, "s");
                }
                break;
            default:
                break;
        }

        if (link.kind == DemoLinkKind::kDuplicate) {
            // Repeat the nearest earlier page that lives on another host; with
            // none before it, the result is an ordinary text link after all.
            const auto earlier =
                std::find_if(backlinks_.rbegin(), backlinks_.rend(), [](const DemoBacklink& b) {
                    return b.kind != DemoLinkKind::kOwnPage && b.kind != DemoLinkKind::kDuplicate;
                });
            if (earlier != backlinks_.rend()) {
                DemoBacklink copy = *earlier;
                copy.kind = DemoLinkKind::kDuplicate;
                backlinks_.push_back(std::move(copy));
                continue;
            }
            link.kind = DemoLinkKind::kTextLink;
            link.anchorPhrase = DomainPhrase(link.topic, phraseChoice);
        }
        backlinks_.push_back(std::move(link));
    }
}

std::string DemoSite::DomainPhrase(std::string_view topic, std::size_t choice) const {
    static constexpr std::array<std::string_view, 8> kForms = {
        "%d",      "www.%d",   "http://www.%d/", "Visit %d",
        "%d - %t", "%T at %d", "More %t on %d",  "%b at %d",
    };
    std::string phrase(kForms[choice % kForms.size()]);
    phrase = Replace(std::move(phrase), "%d", identity_);
    phrase = Replace(std::move(phrase), "%T", Capitalized(topic));
    phrase = Replace(std::move(phrase), "%t", topic);
    return Replace(std::move(phrase), "%b", brand_);
}

std::string DemoSite::OtherPhrase(std::string_view topic, std::size_t choice) const {
    switch (choice) {
        case 4:
            return Capitalized(topic);
        case 5:
            return Capitalized(topic) + " resources";
        case 6:
            return brand_;
        case 7:
            return brand_ + " home page";
        default: {
            const auto generic = DemoWords::GenericAnchors();
            return std::string(generic[(choice + topic.size()) % generic.size()]);
        }
    }
}

std::string DemoSite::SiteUrl(std::string_view path, bool www) const {
    return (www ? "http://www." : "http://") + identity_ + std::string(path);
}

std::vector<std::size_t> DemoSite::HostsListedOn(std::string_view path) const {
    std::vector<bool> listed(hosts_.size(), false);
    for (std::size_t k = 0; k < hosts_.size(); ++k) {
        const DemoLinkingHost& host = hosts_[k];
        listed[k] = (host.linkBack == DemoLinkBack::kStartPage && path == "/") ||
                    ((host.linkBack == DemoLinkBack::kFollowedPage ||
                      host.linkBack == DemoLinkBack::kUnfollowedPage) &&
                     path == host.listedOn);
    }
    for (const DemoBacklink& link : backlinks_) {
        if (LinksToSite(link.kind) && link.hrefPage == path &&
            hosts_[link.host].linkBack == DemoLinkBack::kLinkedPage) {
            listed[link.host] = true;
        }
    }
    std::vector<std::size_t> out;
    for (std::size_t k = 0; k < listed.size(); ++k) {
        if (listed[k]) {
            out.push_back(k);
        }
    }
    return out;
}

std::span<const DemoSitePage> DemoSite::Pages() {
    return kPages;
}

const DemoSitePage* DemoSite::FindPage(std::string_view path) {
    if (path == "/index.html") {
        path = "/";
    }
    for (const DemoSitePage& page : kPages) {
        if (page.path == path) {
            return &page;
        }
    }
    return nullptr;
}

int DemoSite::NaturalSize(std::string_view identity) {
    return 36 + static_cast<int>(DemoHash(identity).Add("size").Below(265));
}

std::string DemoSite::LinkingPath(std::string_view folder, std::size_t index,
                                  std::string_view identity) {
    std::string path = "/";
    path.append(folder).append("/").append(std::to_string(index)).append("-");
    return path.append(HexEncode(identity)).append(".html");
}

std::optional<DemoSite::LinkingAddress> DemoSite::ParseLinkingPath(std::string_view path) {
    const auto slash = path.rfind('/');
    if (slash == std::string_view::npos || !path.ends_with(".html")) {
        return std::nullopt;
    }
    return ParseLinkingName(path.substr(slash + 1, path.size() - slash - 1 - 5));
}

std::string DemoSite::FrontPageQuery(std::size_t index, std::string_view identity) {
    return "?page=" + std::to_string(index) + "-" + HexEncode(identity);
}

std::optional<DemoSite::LinkingAddress> DemoSite::ParseFrontPageQuery(std::string_view query) {
    constexpr std::string_view kKey = "page=";
    if (!query.starts_with(kKey)) {
        return std::nullopt;
    }
    return ParseLinkingName(query.substr(kKey.size()));
}

// "<index>-<site in hex>", the part of a linking page's address that names it.
std::optional<DemoSite::LinkingAddress> DemoSite::ParseLinkingName(std::string_view name) {
    const auto dash = name.find('-');
    if (dash == std::string_view::npos || dash == 0 || dash + 1 == name.size()) {
        return std::nullopt;
    }
    LinkingAddress address;
    const std::string_view digits = name.substr(0, dash);
    const auto [end, ec] =
        std::from_chars(digits.data(), digits.data() + digits.size(), address.index);
    if (ec != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    auto identity = HexDecode(name.substr(dash + 1));
    if (!identity || identity->empty()) {
        return std::nullopt;
    }
    address.identity = std::move(*identity);
    return address;
}

}  // namespace veltrap
