#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>

namespace veltrap {

// How much work an HTML5 tree builder would do on a page, told from its tags
// alone. The builder searches its stack of open elements at nearly every
// start tag, so its work grows with the sum over start tags of how deep the
// stack is then: linear for the pages people write, quadratic for a page of
// a million unclosed elements. The depth counted here is each name's start
// tags less the end tags that close one of them, without void elements and
// without a second open element of the kinds whose start tag ends the one
// open before (p, li, option and the like). That is within a small factor of
// the builder's own depth, as deeper nesting always needs elements that are
// counted. Each tag also costs the builder's tokenizer a comparison of every
// attribute with each one before it.
class TreeWorkEstimate {
public:
    void Start(const std::string& name, std::uint64_t attributes);
    void End(const std::string& name);

    std::uint64_t Work() const { return work_; }

private:
    // Kept per name, so that a tag costs one look-up.
    struct Name {
        std::uint64_t open = 0;
        bool isVoid = false;
        bool endsItsOwnKind = false;
    };

    std::unordered_map<std::string, Name> names_;
    std::uint64_t depth_ = 0;
    std::uint64_t work_ = 0;
};

}  // namespace veltrap
