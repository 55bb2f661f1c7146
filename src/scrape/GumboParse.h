#pragma once

#include <gumbo.h>

#include <cstddef>
#include <functional>
#include <string_view>

namespace veltrap {

// One text parsed by gumbo, with every block of memory the parser asks for
// tracked. Gumbo 0.10 drops some tokens without freeing them (a doctype after
// the start of a page, for one), and a page can hold millions of them, so
// whatever the parser has not freed by the end is freed with the parse.
class GumboParse {
public:
    explicit GumboParse(std::string_view text);
    ~GumboParse();
    GumboParse(const GumboParse&) = delete;
    GumboParse& operator=(const GumboParse&) = delete;

    // The tree, or null when the parser gave none.
    const GumboOutput* Output() const { return output_; }

    // Hands every element and template node to visit in document order,
    // until visit returns false. Without recursion, so that deep nesting
    // cannot exhaust the stack.
    void ForEachElement(const std::function<bool(const GumboNode&)>& visit) const;

private:
    // Each block the parser is given follows a header that links it into
    // the list of blocks not yet freed, so that tracking costs no search.
    struct alignas(alignof(std::max_align_t)) Header {
        Header* previous;
        Header* next;
    };

    static void* Allocate(void* self, std::size_t size);
    static void Free(void* self, void* block);

    Header blocks_{&blocks_, &blocks_};
    GumboOptions options_;
    GumboOutput* output_ = nullptr;
};

}  // namespace veltrap
