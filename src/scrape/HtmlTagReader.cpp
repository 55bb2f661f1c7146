#include "scrape/HtmlTagReader.h"

#include "base/AsciiCase.h"

namespace veltrap {
namespace {

// The longest tag name any reader of tags looks for ("plaintext").
constexpr std::size_t kLongestNameKept = 9;

// Carriage returns count too: the tokenizer sees them as line feeds.
bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\f' || c == '\r';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool EndsName(char c) {
    return IsSpace(c) || c == '/' || c == '>';
}

bool IsRawTextElement(std::string_view name) {
    return name == "title" || name == "textarea" || name == "style" || name == "xmp" ||
           name == "iframe" || name == "noembed" || name == "noframes" || name == "script";
}

}  // namespace

const std::optional<HtmlStartTag::Attribute>& HtmlStartTag::Kept(
    std::string_view attributeName) const {
    for (std::size_t i = 0; i < kKeptAttributes.size(); ++i) {
        if (kKeptAttributes[i] == attributeName) {
            return kept[i];
        }
    }
    static const std::optional<Attribute> kNone;
    return kNone;
}

bool HtmlTagReader::Next(HtmlStartTag& tag) {
    const std::size_t size = page_.size();
    while (!ended_) {
        const std::size_t open = page_.find('<', at_);
        if (open == std::string_view::npos || open + 1 >= size) {
            break;
        }
        const std::size_t after = open + 1;
        const char c = page_[after];
        if (c == '!') {
            at_ = SkipMarkupDeclaration(after + 1);
            continue;
        }
        if (c == '?' || (c == '/' && after + 1 < size && !IsLetter(page_[after + 1]))) {
            if (c == '/' && page_[after + 1] == '>') {
                at_ = after + 2;
                continue;
            }
            // A bogus comment, which the next ">" ends.
            const std::size_t close = page_.find('>', after);
            at_ = close == std::string_view::npos ? size : close + 1;
            continue;
        }
        const bool endTag = c == '/';
        const std::size_t nameStart = endTag ? after + 1 : after;
        if (nameStart >= size || !IsLetter(page_[nameStart])) {
            at_ = after;
            continue;
        }
        std::size_t nameEnd = nameStart;
        while (nameEnd < size && !EndsName(page_[nameEnd])) {
            ++nameEnd;
        }
        if (nameEnd >= size) {
            break;
        }
        const auto keptName = [&] {
            return nameEnd - nameStart <= kLongestNameKept
                       ? LowerAscii(page_.substr(nameStart, nameEnd - nameStart))
                       : std::string();
        };
        if (endTag) {
            at_ = ReadAttributes(nameEnd, nullptr);
            if (at_ == std::string_view::npos) {
                break;
            }
            if (endTags_) {
                endTags_(keptName());
            }
            continue;
        }
        tag = HtmlStartTag();
        tag.name = keptName();
        const std::size_t end = ReadAttributes(nameEnd, &tag);
        if (end == std::string_view::npos) {
            break;
        }
        tag.source = page_.substr(open, end - open);
        at_ = end;
        if (tag.name == "plaintext") {
            ended_ = true;
        } else if (IsRawTextElement(tag.name)) {
            at_ = TextEnd(end, tag.name);
        }
        return true;
    }
    ended_ = true;
    return false;
}

std::size_t HtmlTagReader::ReadAttributes(std::size_t at, HtmlStartTag* tag) const {
    const std::size_t size = page_.size();
    const auto skipSpaces = [&] {
        while (at < size && IsSpace(page_[at])) {
            ++at;
        }
        return at < size;
    };
    const auto keep = [&](std::string_view name, std::string_view value,
                          std::string_view original) {
        if (tag == nullptr) {
            return;
        }
        ++tag->attributes;
        for (std::size_t i = 0; i < HtmlStartTag::kKeptAttributes.size(); ++i) {
            if (!tag->kept[i] && EqualsNoCase(name, HtmlStartTag::kKeptAttributes[i])) {
                tag->kept[i] = HtmlStartTag::Attribute{value, original};
            }
        }
    };
    while (true) {
        if (!skipSpaces()) {
            return std::string_view::npos;
        }
        if (page_[at] == '>') {
            return at + 1;
        }
        if (page_[at] == '/') {
            ++at;
            continue;
        }
        // An "=" may begin a name; after that it ends one.
        const std::size_t nameStart = at++;
        while (at < size && !EndsName(page_[at]) && page_[at] != '=') {
            ++at;
        }
        const std::string_view name = page_.substr(nameStart, at - nameStart);
        if (!skipSpaces()) {
            return std::string_view::npos;
        }
        if (page_[at] != '=') {
            keep(name, {}, {});
            continue;
        }
        ++at;
        if (!skipSpaces()) {
            return std::string_view::npos;
        }
        const char quote = page_[at];
        if (quote == '"' || quote == '\'') {
            const std::size_t close = page_.find(quote, at + 1);
            if (close == std::string_view::npos) {
                return std::string_view::npos;
            }
            keep(name, page_.substr(at + 1, close - at - 1), page_.substr(at, close - at + 1));
            at = close + 1;
        } else if (quote == '>') {
            keep(name, {}, {});
        } else {
            const std::size_t valueStart = at;
            while (at < size && !IsSpace(page_[at]) && page_[at] != '>') {
                ++at;
            }
            const std::string_view value = page_.substr(valueStart, at - valueStart);
            keep(name, value, value);
        }
    }
}

std::size_t HtmlTagReader::SkipMarkupDeclaration(std::size_t at) const {
    const std::size_t size = page_.size();
    if (page_.substr(at, 2) != "--") {
        // A doctype or a bogus comment; either ends at the next ">".
        const std::size_t close = page_.find('>', at);
        return close == std::string_view::npos ? size : close + 1;
    }
    at += 2;
    if (page_.substr(at, 1) == ">") {
        return at + 1;
    }
    if (page_.substr(at, 2) == "->") {
        return at + 2;
    }
    while (true) {
        const std::size_t dashes = page_.find("--", at);
        if (dashes == std::string_view::npos) {
            return size;
        }
        at = dashes + 2;
        while (at < size && page_[at] == '-') {
            ++at;
        }
        if (page_.substr(at, 1) == ">") {
            return at + 1;
        }
        if (page_.substr(at, 2) == "!>") {
            return at + 2;
        }
    }
}

std::size_t HtmlTagReader::TextEnd(std::size_t from, std::string_view name) {
    std::size_t at = from;
    while (true) {
        const std::size_t close = page_.find("</", at);
        if (close == std::string_view::npos) {
            ended_ = true;
            return page_.size();
        }
        const std::size_t nameEnd = close + 2 + name.size();
        if (nameEnd < page_.size() && EndsName(page_[nameEnd]) &&
            EqualsNoCase(page_.substr(close + 2, name.size()), name)) {
            if (name == "script" &&
                page_.substr(from, close - from).find("<!--") != std::string_view::npos) {
                scriptEscapeSeen_ = true;
            }
            return close;
        }
        at = close + 2;
    }
}

}  // namespace veltrap
