#include "scrape/SiteLink.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"
#include "scrape/WebAddress.h"

#include <algorithm>
#include <cstddef>

namespace veltrap {
namespace {

// An occurrence of the site at this index or before it ends the search.
constexpr std::size_t kLastRefusedIndex = 30;
// The opening quote is looked for this many characters back from the
// occurrence, the occurrence's own position included.
constexpr std::size_t kQuoteWindow = 50;
// The tag start is looked for while the position is less than this many
// characters before the occurrence.
constexpr std::size_t kTagWindow = 350;
// After a rejected occurrence the search goes on this far after it.
constexpr std::size_t kSkipStep = 5;
constexpr std::size_t kShortestAnchorText = 3;
constexpr std::string_view kTrimSet = " ;.,\r\n\"";

// The first double quote found going back from the occurrence, or the last
// position examined when the window holds none.
std::size_t OpeningQuote(std::string_view page, std::size_t occurrence) {
    const std::size_t lowest = occurrence >= kQuoteWindow ? occurrence - (kQuoteWindow - 1) : 1;
    std::size_t position = occurrence;
    while (position > lowest && page[position] != '"') {
        --position;
    }
    return position;
}

std::optional<std::size_t> FindTagStart(std::string_view page, std::size_t quote,
                                        std::size_t occurrence) {
    // Positions above occurrence - kTagWindow, and never position 0.
    const std::size_t floor = occurrence >= kTagWindow ? occurrence - kTagWindow : 0;
    for (std::size_t position = quote; position > floor && position > 0; --position) {
        if (page[position] == '<') {
            return position;
        }
    }
    return std::nullopt;
}

// The first double quote at or after a position. The positions asked for
// move forward but for the few characters an opening quote lies behind its
// occurrence, so the last answer is kept: a position between the last start
// and the quote found from it has that same quote, and one a little before
// the last start only needs the gap looked at. A page of many occurrences and
// no closing quote is then read once, not once per occurrence.
class QuoteAfter {
public:
    explicit QuoteAfter(std::string_view page) : page_(page) {}

    std::size_t From(std::size_t position) {
        if (!asked_ || position > quote_) {
            asked_ = true;
            from_ = position;
            quote_ = page_.find('"', position);
        } else if (position < from_) {
            const auto inGap = page_.substr(0, from_).find('"', position);
            return inGap != std::string_view::npos ? inGap : quote_;
        }
        return quote_;
    }

private:
    std::string_view page_;
    bool asked_ = false;
    std::size_t from_ = 0;
    std::size_t quote_ = 0;
};

void Trim(std::string& text) {
    text = std::string(Trimmed(text, kTrimSet));
}

std::string WithoutMarkup(const std::string& text) {
    std::string kept;
    kept.reserve(text.size());
    std::size_t from = 0;
    while (true) {
        const auto open = text.find('<', from);
        if (open == std::string::npos) {
            break;
        }
        const auto close = text.find('>', open);
        if (close == std::string::npos) {
            // An unclosed "<" is text, not markup: keep it and what follows.
            break;
        }
        kept.append(text, from, open - from);
        from = close + 1;
    }
    kept.append(text, from, std::string::npos);
    return kept;
}

void CollapseBlanks(std::string& text) {
    std::string single;
    single.reserve(text.size());
    for (const char c : text) {
        if (c == ' ' && !single.empty() && single.back() == ' ') {
            continue;
        }
        single.push_back(c);
    }
    text = std::move(single);
}

// The anchor text of the opening tag [tagStart, tagEnd], or nothing when the
// tag is neither an anchor nor carries alt text.
std::optional<std::string> RawAnchorText(std::string_view page, std::size_t tagStart,
                                         std::size_t tagEnd) {
    const std::string_view tag = page.substr(tagStart, tagEnd - tagStart + 1);
    constexpr std::string_view kAlt = "alt=\"";
    const auto alt = tag.find(kAlt);
    if (alt != std::string_view::npos) {
        const auto valueStart = alt + kAlt.size();
        const auto valueEnd = tag.find('"', valueStart);
        if (valueEnd == std::string_view::npos) {
            return std::string();
        }
        return std::string(tag.substr(valueStart, valueEnd - valueStart));
    }
    if (!tag.starts_with("<a ")) {
        return std::nullopt;
    }
    const auto anchorEnd = page.find("</a", tagEnd);
    if (anchorEnd == std::string_view::npos) {
        return std::nullopt;
    }
    return std::string(page.substr(tagEnd + 1, anchorEnd - tagEnd - 1));
}

}  // namespace

std::string CleanAnchorText(std::string text) {
    text = WithoutMarkup(text);
    if (text.size() < kShortestAnchorText) {
        return std::string(kNoAnchorText);
    }
    Trim(text);
    RemoveEvery(text, "&nbsp");
    RemoveEvery(text, "\t");
    RemoveEvery(text, "\r");
    RemoveEvery(text, "\n");
    CollapseBlanks(text);
    return text;
}

std::optional<SiteLink> ReadSiteLink(std::string_view pageText, std::string_view siteKey) {
    const std::string page = LowerAscii(pageText);
    const std::string key = LowerAscii(siteKey);
    QuoteAfter closing(page);
    std::size_t searchFrom = 0;
    while (true) {
        const auto occurrence = page.find(key, searchFrom);
        if (occurrence == std::string::npos || occurrence <= kLastRefusedIndex) {
            return std::nullopt;
        }
        searchFrom = occurrence + kSkipStep;
        const std::size_t open = OpeningQuote(page, occurrence);
        if (open < 5 || page.compare(open - 5, 5, "href=") != 0) {
            continue;
        }
        const auto close = closing.From(open + 1);
        if (close == std::string::npos || close - open - 1 < 2) {
            continue;
        }
        const auto tagStart = FindTagStart(page, open, occurrence);
        if (!tagStart) {
            continue;
        }
        const auto tagEnd = page.find('>', occurrence);
        if (tagEnd == std::string::npos) {
            return std::nullopt;
        }
        auto raw = RawAnchorText(page, *tagStart, tagEnd);
        if (!raw) {
            return std::nullopt;
        }
        SiteLink link;
        link.href = page.substr(open + 1, close - open - 1);
        link.anchorText = CleanAnchorText(std::move(*raw));
        return link;
    }
}

SiteLinkLookup FindSiteLink(const PageFetch& fetch, std::string_view pageUrl,
                            std::string_view siteKey) {
    const std::string address = WithHttpScheme(pageUrl);
    SiteLinkLookup lookup;
    lookup.page = fetch(address);
    if (!lookup.page.answered) {
        lookup.page = fetch(address);
    }
    if (lookup.page.answered) {
        lookup.link = ReadSiteLink(lookup.page.body, siteKey);
    }
    return lookup;
}

}  // namespace veltrap
