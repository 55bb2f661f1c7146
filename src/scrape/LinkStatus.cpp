#include "scrape/LinkStatus.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"
#include "net/AbsoluteAddress.h"
#include "scrape/GumboParse.h"
#include "scrape/HtmlTagReader.h"
#include "scrape/TreeWorkEstimate.h"

#include <gumbo.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace veltrap {
namespace {

struct RobotsWords {
    bool noindex = false;
    bool nofollow = false;

    void Take(std::string_view word) {
        const std::string lower = LowerAscii(word);
        noindex = noindex || lower == "noindex" || lower == "none";
        nofollow = nofollow || lower == "nofollow" || lower == "none";
    }
    std::string Text() const {
        if (noindex && nofollow) {
            return "noindex nofollow";
        }
        return noindex ? "noindex" : nofollow ? "nofollow" : "";
    }
};

constexpr std::string_view kBlanks = " \t\n\r\f";

bool IsBlank(char c) {
    return kBlanks.find(c) != std::string_view::npos;
}

// The words of text, split at blanks and at any of the extra separators.
std::vector<std::string_view> Words(std::string_view text, std::string_view separators = {}) {
    std::vector<std::string_view> words;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        if (at == text.size() || IsBlank(text[at]) ||
            separators.find(text[at]) != std::string_view::npos) {
            if (at > start) {
                words.push_back(text.substr(start, at - start));
            }
            start = at + 1;
        }
    }
    return words;
}

// X-Robots-Tag: "noindex, nofollow", or directives for one crawler after its
// name ("googlebot: noindex"). Directives that carry a value after a colon
// are not crawler names.
void TakeRobotsHeader(std::string_view value, RobotsWords& words) {
    static constexpr std::array<std::string_view, 4> kValued = {
        "max-snippet", "max-image-preview", "max-video-preview", "unavailable_after"};
    std::string crawler;
    while (!value.empty()) {
        const auto comma = value.find(',');
        std::string_view item = value.substr(0, comma);
        value = comma == std::string_view::npos ? std::string_view() : value.substr(comma + 1);
        const auto colon = item.find(':');
        if (colon != std::string_view::npos) {
            const std::string head = LowerAscii(Trimmed(item.substr(0, colon), kBlanks));
            bool valued = false;
            for (const std::string_view name : kValued) {
                valued = valued || head == name;
            }
            if (valued) {
                continue;
            }
            crawler = head;
            item = item.substr(colon + 1);
        }
        if (crawler.empty() || crawler == "googlebot") {
            for (const std::string_view word : Words(item)) {
                words.Take(word);
            }
        }
    }
}

const char* Attribute(const GumboElement& element, const char* name) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, name);
    return attribute != nullptr ? attribute->value : nullptr;
}

// The href as it stands in the page, without its quotes, so that a target
// with entities in it compares as the link reader took it.
std::string_view RawHref(const GumboElement& element) {
    const GumboAttribute* attribute = gumbo_get_attribute(&element.attributes, "href");
    if (attribute == nullptr) {
        return {};
    }
    std::string_view raw(attribute->original_value.data, attribute->original_value.length);
    if (raw.size() >= 2 && (raw.front() == '"' || raw.front() == '\'') &&
        raw.back() == raw.front()) {
        raw = raw.substr(1, raw.size() - 2);
    }
    return raw;
}

bool HasToken(const char* text, std::string_view token) {
    if (text == nullptr) {
        return false;
    }
    for (const std::string_view word : Words(text)) {
        if (EqualsNoCase(word, token)) {
            return true;
        }
    }
    return false;
}

struct PageFacts {
    bool linkFound = false;
    std::string rel;
    RobotsWords robots;
    bool canonicalFound = false;
    std::string canonical;
};

void Visit(const GumboElement& element, std::string_view href, PageFacts& facts) {
    switch (element.tag) {
        case GUMBO_TAG_A:
        case GUMBO_TAG_AREA: {
            if (facts.linkFound) {
                return;
            }
            const char* value = Attribute(element, "href");
            if (value == nullptr ||
                (LowerAscii(value) != href && LowerAscii(RawHref(element)) != href)) {
                return;
            }
            facts.linkFound = true;
            const char* rel = Attribute(element, "rel");
            for (const std::string_view token : Words(rel != nullptr ? rel : "")) {
                facts.rel += (facts.rel.empty() ? "" : " ") + LowerAscii(token);
            }
            return;
        }
        case GUMBO_TAG_META: {
            const char* name = Attribute(element, "name");
            const char* content = Attribute(element, "content");
            if (name != nullptr && content != nullptr &&
                (EqualsNoCase(Trimmed(name, kBlanks), "robots") ||
                 EqualsNoCase(Trimmed(name, kBlanks), "googlebot"))) {
                for (const std::string_view word : Words(content, ",")) {
                    facts.robots.Take(word);
                }
            }
            return;
        }
        case GUMBO_TAG_LINK:
            if (!facts.canonicalFound && HasToken(Attribute(element, "rel"), "canonical")) {
                if (const char* target = Attribute(element, "href")) {
                    facts.canonicalFound = true;
                    facts.canonical = std::string(Trimmed(target, kBlanks));
                }
            }
            return;
        default:
            return;
    }
}

// The page as a browser builds it, walked whole: exact, but the parser needs
// seconds for a large page and far longer for a deeply nested one.
PageFacts ReadTree(std::string_view body, std::string_view href) {
    PageFacts facts;
    GumboParse(body).ForEachElement([&](const GumboNode& node) {
        Visit(node.v.element, href, facts);
        return true;
    });
    return facts;
}

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte < 0x20 && c != '\t' && c != '\n' && c != '\f' && c != '\r') || byte == 0x7F;
}

// Whether the tree builder stores the value otherwise than it is written:
// character references, carriage returns, bytes that may not be UTF-8, and
// NUL and the other control characters (which the parser turns into U+FFFD)
// all change on the way.
bool ChangesWhenDecoded(std::string_view value) {
    for (const char c : value) {
        if (c == '&' || c == '\r' || IsControl(c) || static_cast<unsigned char>(c) >= 0x80) {
            return true;
        }
    }
    return false;
}

// A control character anywhere in a tag may change where gumbo sees its
// attributes begin (it passes over a NUL after a quoted value, for one), so
// such a tag is always read as gumbo reads it.
bool HasControl(std::string_view tag) {
    return std::any_of(tag.begin(), tag.end(), IsControl);
}

// Past this many attributes a tag is decoded from its kept ones alone: 64
// cost gumbo 2,016 comparisons, a million of them days.
constexpr std::size_t kMostAttributesParsed = 64;

// The kept attributes of a tag as the tree builder stores them. A value is
// decoded alike wherever its tag stands, so a tag that needs it is parsed
// alone; so is one holding a control character (see HasControl), which the
// caller has looked for already.
std::array<std::optional<std::string>, HtmlStartTag::kKeptAttributes.size()> Decoded(
    const HtmlStartTag& tag, bool control) {
    std::array<std::optional<std::string>, HtmlStartTag::kKeptAttributes.size()> values;
    bool parse = control;
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (tag.kept[i]) {
            values[i] = std::string(tag.kept[i]->value);
            parse = parse || ChangesWhenDecoded(tag.kept[i]->value);
        }
    }
    if (!parse) {
        return values;
    }
    // Gumbo compares each attribute of a tag with every one before it, so a
    // tag of very many attributes is parsed as the kept ones alone. Only the
    // first of each name counts in either.
    std::string fewer;
    if (tag.attributes > kMostAttributesParsed) {
        fewer = "<" + tag.name;
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (tag.kept[i]) {
                // An attribute written without a value is written so again.
                const std::string_view original = tag.kept[i]->original;
                fewer += " " + std::string(HtmlStartTag::kKeptAttributes[i]) +
                         (original.empty() ? "" : "=" + std::string(original));
            }
        }
        fewer += ">";
    }
    // The tag itself is the first element the parser did not add around it.
    GumboParse(fewer.empty() ? tag.source : std::string_view(fewer))
        .ForEachElement([&](const GumboNode& node) {
            if (node.type != GUMBO_NODE_ELEMENT || node.v.element.tag == GUMBO_TAG_HTML ||
                node.v.element.tag == GUMBO_TAG_HEAD || node.v.element.tag == GUMBO_TAG_BODY) {
                return true;
            }
            for (std::size_t i = 0; i < values.size(); ++i) {
                const char* value = Attribute(
                    node.v.element, std::string(HtmlStartTag::kKeptAttributes[i]).c_str());
                values[i] = value != nullptr ? std::optional<std::string>(value) : std::nullopt;
            }
            return false;
        });
    return values;
}

// More work than this, by TreeWorkEstimate, and the tree builder would take
// longer than reading the page's tags ever does: 32 million steps are 8,000
// unclosed elements, which gumbo builds in about 60 ms, and twice as many
// take it four times as long. The pages people write stay far below it, an
// 8 MB page of them at a few million.
constexpr std::uint64_t kMostTreeWork = 32u << 20;

struct TagReading {
    PageFacts facts;
    // Whether only the tree tells these facts surely.
    bool treeNeeded = false;
    std::uint64_t treeWork = 0;
};

// The same facts from the page's start tags alone, in one pass. Token order
// is document order here, and every tag of these kinds becomes an element,
// except within svg, math, select and frameset, or for a script that hides
// its end tag in "<!--". Tables may move an element ahead of earlier ones,
// which matters only when two candidates disagree. The tree is needed then.
TagReading ReadTags(std::string_view body, std::string_view href) {
    TagReading reading;
    PageFacts& facts = reading.facts;
    TreeWorkEstimate work;
    HtmlTagReader reader(body, [&work](const std::string& name) { work.End(name); });
    HtmlStartTag tag;
    bool table = false;
    bool foreign = false;
    bool candidatesDisagree = false;
    while (reader.Next(tag)) {
        const std::string& name = tag.name;
        work.Start(name, tag.attributes);
        foreign =
            foreign || name == "svg" || name == "math" || name == "select" || name == "frameset";
        table = table || name == "table";
        const bool link = name == "a" || name == "area";
        if (!link && name != "meta" && name != "link") {
            continue;
        }
        // A target stored as written is compared without parsing its tag.
        const std::optional<HtmlStartTag::Attribute>& raw = tag.kept[0];
        const bool control = HasControl(tag.source);
        if (link && !control &&
            (!raw || (LowerAscii(raw->value) != href && !ChangesWhenDecoded(raw->value)))) {
            continue;
        }
        const auto values = Decoded(tag, control);
        const std::optional<std::string>& target = values[0];
        const std::optional<std::string>& rel = values[1];
        if (link) {
            if (!target ||
                (LowerAscii(*target) != href && (!raw || LowerAscii(raw->value) != href))) {
                continue;
            }
            const std::string relText = rel.value_or("");
            std::string tokens;
            for (const std::string_view token : Words(relText)) {
                tokens += (tokens.empty() ? "" : " ") + LowerAscii(token);
            }
            if (!facts.linkFound) {
                facts.linkFound = true;
                facts.rel = std::move(tokens);
            } else {
                candidatesDisagree = candidatesDisagree || tokens != facts.rel;
            }
        } else if (name == "meta") {
            const std::optional<std::string>& metaName = values[2];
            const std::optional<std::string>& content = values[3];
            if (metaName && content &&
                (EqualsNoCase(Trimmed(*metaName, kBlanks), "robots") ||
                 EqualsNoCase(Trimmed(*metaName, kBlanks), "googlebot"))) {
                for (const std::string_view word : Words(*content, ",")) {
                    facts.robots.Take(word);
                }
            }
        } else if (rel && target && HasToken(rel->c_str(), "canonical")) {
            const std::string canonical(Trimmed(*target, kBlanks));
            if (!facts.canonicalFound) {
                facts.canonicalFound = true;
                facts.canonical = canonical;
            } else {
                candidatesDisagree = candidatesDisagree || canonical != facts.canonical;
            }
        }
    }
    reading.treeNeeded = foreign || reader.ScriptEscapeSeen() || (table && candidatesDisagree);
    reading.treeWork = work.Work();
    return reading;
}

bool Gone(long status) {
    return status == 404 || status == 410;
}

LinkFacts FactsOf(const PageAnswer& page, PageFacts read) {
    LinkFacts facts;
    facts.httpStatus = page.answered ? static_cast<std::int32_t>(page.status) : 0;
    facts.finalUrl = page.finalUrl;
    for (const auto& [name, value] : page.headers) {
        if (EqualsNoCase(name, "X-Robots-Tag")) {
            TakeRobotsHeader(value, read.robots);
        }
    }
    facts.rel = std::move(read.rel);
    facts.robots = read.robots.Text();
    if (read.canonicalFound) {
        std::string canonical = AbsoluteAddress(page.finalUrl, read.canonical);
        if (!canonical.empty() && !SameAddress(canonical, page.finalUrl)) {
            facts.canonical = std::move(canonical);
        }
    }

    const std::vector<std::string_view> rel = Words(facts.rel);
    const auto relHas = [&rel](std::string_view token) {
        for (const std::string_view word : rel) {
            if (word == token) {
                return true;
            }
        }
        return false;
    };
    if (Gone(facts.httpStatus)) {
        facts.linkStatus = "gone";
    } else if (facts.httpStatus >= 400) {
        facts.linkStatus = "error";
    } else if (read.robots.noindex) {
        facts.linkStatus = "noindex";
    } else if (relHas("sponsored")) {
        facts.linkStatus = "sponsored";
    } else if (relHas("ugc")) {
        facts.linkStatus = "ugc";
    } else if (relHas("nofollow") || read.robots.nofollow) {
        facts.linkStatus = "nofollow";
    } else {
        facts.linkStatus = "follow";
    }
    return facts;
}

}  // namespace

LinkFacts ReadLinkFacts(const PageAnswer& page, std::string_view href) {
    TagReading read = ReadTags(page.body, href);
    // A page built to make the tree builder quadratic is read by its tags: a
    // browser, too, stops nesting long before such depths.
    if (read.treeNeeded && read.treeWork <= kMostTreeWork) {
        return FactsOf(page, ReadTree(page.body, href));
    }
    return FactsOf(page, std::move(read.facts));
}

LinkFacts ReadLinkFactsFromTree(const PageAnswer& page, std::string_view href) {
    return FactsOf(page, ReadTree(page.body, href));
}

std::string UnlinkedStatus(const PageAnswer& page) {
    if (!page.answered) {
        return "unreachable";
    }
    // The part read holds no link, which says nothing of the part never read.
    if (page.EndedEarly()) {
        return "cut-short";
    }
    if (Gone(page.status)) {
        return "gone";
    }
    // Bot protection, a login, a proxy or a rate limit stood before the page.
    if (page.status == 401 || page.status == 403 || page.status == 407 || page.status == 429 ||
        page.status == 451) {
        return "blocked";
    }
    if (page.status >= 400 || page.refused || page.tooManyRedirects) {
        return "error";
    }
    return "not-found";
}

}  // namespace veltrap
