#include "demoworld/DemoSearch.h"

#include "base/AsciiCase.h"
#include "base/TextSearch.h"
#include "demoworld/DemoDice.h"
#include "demoworld/DemoHash.h"
#include "demoworld/DemoText.h"
#include "demoworld/DemoWords.h"

#include <optional>

namespace veltrap {
namespace {

bool IsWordByte(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || c >= 0x80 || c == '.' || c == '-' ||
           c == '_' || c == ':' || c == '/';
}

bool IsEdgePunctuation(char c) {
    return c == '.' || c == '-' || c == '_' || c == ':' || c == '/';
}

std::string_view EngineName(DemoEngine engine) {
    switch (engine) {
        case DemoEngine::kGoogle:
            return "google";
        case DemoEngine::kYahoo:
            return "yahoo";
        case DemoEngine::kMsn:
            return "msn";
    }
    return "engine";
}

std::string Joined(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& word : words) {
        text += (text.empty() ? "" : " ") + word;
    }
    return text;
}

DemoSearchHit Filler(DemoDice& dice) {
    const auto parts = DemoWords::NameParts();
    const std::string_view topic = dice.Pick(DemoWords::Topics());
    std::string slug(topic);
    for (char& c : slug) {
        c = c == ' ' ? '-' : c;
    }
    const std::string host = std::string(dice.Pick(parts)) + std::string(dice.Pick(parts));
    DemoSearchHit hit;
    hit.url = "http://www." + host + ".example/" + slug + "/" +
              std::to_string(dice.Below(900) + 100) + ".html";
    hit.title = Capitalized(topic) + " - " + BrandOf(host);
    hit.snippet = DemoWords::Sentence(dice.Below(100), topic);
    return hit;
}

}  // namespace

std::vector<std::string> DemoSearch::Words(std::string_view text) {
    const std::string lower = LowerAscii(text);
    std::vector<std::string> words;
    std::string word;
    auto finish = [&] {
        std::size_t from = 0;
        std::size_t to = word.size();
        while (from < to && IsEdgePunctuation(word[from])) {
            ++from;
        }
        while (to > from && IsEdgePunctuation(word[to - 1])) {
            --to;
        }
        if (to > from) {
            words.push_back(word.substr(from, to - from));
        }
        word.clear();
    };
    for (std::size_t i = 0; i < lower.size(); ++i) {
        if (lower[i] == '&') {
            // An entity such as "&amp;" or "&#233;" separates words.
            std::size_t end = i + 1;
            while (end < lower.size() &&
                   ((lower[end] >= 'a' && lower[end] <= 'z') ||
                    (lower[end] >= '0' && lower[end] <= '9') || lower[end] == '#')) {
                ++end;
            }
            finish();
            i = (end < lower.size() && lower[end] == ';') ? end : end - 1;
            continue;
        }
        if (IsWordByte(static_cast<unsigned char>(lower[i]))) {
            word += lower[i];
        } else {
            finish();
        }
    }
    finish();
    return words;
}

std::string DemoSearch::NamedSite(std::string_view query) {
    for (std::string word : Words(query)) {
        for (const std::string_view scheme : {"http://", "https://"}) {
            if (word.starts_with(scheme)) {
                word.erase(0, scheme.size());
            }
        }
        if (word.starts_with("www.")) {
            word.erase(0, 4);
        }
        const auto dot = word.find('.');
        if (dot != std::string::npos && dot > 0 && dot + 1 < word.size()) {
            return word;
        }
    }
    return {};
}

std::vector<DemoSearchHit> DemoSearch::Results(DemoEngine engine, std::string_view query,
                                               const DemoSite* site) {
    const std::vector<std::string> words = Words(query);
    if (words.empty()) {
        return {};
    }
    const std::string key = Joined(words);
    const DemoHash base = DemoHash(EngineName(engine)).Add(key);
    const std::size_t total = site != nullptr ? 8 + DemoHash(base).Add("total").Below(38)
                                              : 2 + DemoHash(base).Add("total").Below(23);
    std::vector<std::optional<DemoSearchHit>> slots(total);

    if (site != nullptr) {
        // The site itself: on the first page, on a later one, or not at all.
        const std::uint64_t place = DemoHash(base).Add("site").Value();
        std::optional<std::size_t> at;
        if (place % 10 < 4) {
            at = (place / 10) % std::min<std::size_t>(10, total);
        } else if (place % 10 < 7 && total > 10) {
            at = 10 + (place / 10) % (total - 10);
        }
        if (at) {
            DemoSearchHit hit;
            hit.url = site->SiteUrl("/", (place / 1000) % 3 != 0);
            hit.title = site->Brand() + " - " + Capitalized(site->Topic());
            hit.snippet = DemoWords::Sentence(place / 7, site->Topic());
            slots[*at] = std::move(hit);
        }
        // Pages whose link to the site carries the same words, each at a place
        // of its own; about a third fall past the end and are not found.
        for (const DemoBacklink& link : site->Backlinks()) {
            if (link.kind == DemoLinkKind::kOwnPage || link.anchorPhrase.empty() ||
                Words(link.anchorPhrase) != words) {
                continue;
            }
            const std::size_t slot = DemoHash(base).Add(link.url).Below(total + total / 2);
            if (slot < total && !slots[slot]) {
                slots[slot] =
                    DemoSearchHit{link.url, link.title, DemoWords::Sentence(link.seed, link.topic)};
            }
        }
    }

    DemoDice dice(DemoHash(base).Add("fillers").Value());
    std::vector<DemoSearchHit> hits;
    hits.reserve(total);
    for (auto& slot : slots) {
        hits.push_back(slot ? std::move(*slot) : Filler(dice));
    }
    return hits;
}

}  // namespace veltrap
