#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace veltrap {

// One start tag as an HTML5 tokenizer reads it.
struct HtmlStartTag {
    struct Attribute {
        std::string_view value;     // between its quotes, undecoded
        std::string_view original;  // as written, quotes included
    };
    static constexpr std::array<std::string_view, 4> kKeptAttributes = {"href", "rel", "name",
                                                                        "content"};

    std::string_view source;  // from its "<" to its ">"
    // Lower-cased; a name longer than any the readers look for is left empty.
    std::string name;
    // The first attribute of each kept name, in the order of kKeptAttributes.
    std::array<std::optional<Attribute>, kKeptAttributes.size()> kept;
    // How many attributes the tag holds, repeated names included.
    std::size_t attributes = 0;

    const std::optional<Attribute>& Kept(std::string_view attributeName) const;
};

// Reads the start tags of a page in the order an HTML5 tokenizer meets them,
// in one pass: comments, doctypes and end tags are passed over, the text of
// title, textarea, style, script and the like is not read as markup, and
// plaintext ends the markup. Character references are left as written. It
// reads tokens only; what the tree builder makes of them is the caller's
// concern.
class HtmlTagReader {
public:
    // Told the lower-cased name of every end tag passed over, named as
    // HtmlStartTag::name is.
    using EndTagSink = std::function<void(const std::string& name)>;

    explicit HtmlTagReader(std::string_view page, EndTagSink endTags = {})
        : page_(page), endTags_(std::move(endTags)) {}

    // The next start tag, or false at the end of the markup.
    bool Next(HtmlStartTag& tag);

    // A script's text holds "<!--", inside which a browser looks for its end
    // tag differently; the tags read after it may not be the browser's.
    bool ScriptEscapeSeen() const { return scriptEscapeSeen_; }

private:
    // Passes over a tag's attributes from at; the index after its ">", or
    // npos when the page ends inside it.
    std::size_t ReadAttributes(std::size_t at, HtmlStartTag* tag) const;
    std::size_t SkipMarkupDeclaration(std::size_t at) const;
    // Where the text of an element read as text ends: at its end tag.
    std::size_t TextEnd(std::size_t from, std::string_view name);

    std::string_view page_;
    EndTagSink endTags_;
    std::size_t at_ = 0;
    bool ended_ = false;
    bool scriptEscapeSeen_ = false;
};

}  // namespace veltrap
