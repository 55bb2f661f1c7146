#include "scrape/GumboParse.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace veltrap {

GumboParse::GumboParse(std::string_view text) : options_(kGumboDefaultOptions) {
    options_.allocator = &GumboParse::Allocate;
    options_.deallocator = &GumboParse::Free;
    options_.userdata = this;
    // Parse errors are of no use here; a broken page must not fill memory with them.
    options_.max_errors = 0;
    output_ = gumbo_parse_with_options(&options_, text.data(), text.size());
}

GumboParse::~GumboParse() {
    if (output_ != nullptr) {
        gumbo_destroy_output(&options_, output_);
    }
    for (Header* header = blocks_.next; header != &blocks_;) {
        Header* const next = header->next;
        std::free(header);
        header = next;
    }
}

void GumboParse::ForEachElement(const std::function<bool(const GumboNode&)>& visit) const {
    if (output_ == nullptr) {
        return;
    }
    std::vector<const GumboNode*> pending{output_->document};
    while (!pending.empty()) {
        const GumboNode* node = pending.back();
        pending.pop_back();
        const GumboVector* children = nullptr;
        if (node->type == GUMBO_NODE_DOCUMENT) {
            children = &node->v.document.children;
        } else if (node->type == GUMBO_NODE_ELEMENT || node->type == GUMBO_NODE_TEMPLATE) {
            if (!visit(*node)) {
                return;
            }
            children = &node->v.element.children;
        }
        if (children != nullptr) {
            for (unsigned int i = children->length; i > 0; --i) {
                pending.push_back(static_cast<const GumboNode*>(children->data[i - 1]));
            }
        }
    }
}

void* GumboParse::Allocate(void* self, std::size_t size) {
    if (size > SIZE_MAX - sizeof(Header)) {
        return nullptr;
    }
    auto* header = static_cast<Header*>(std::malloc(sizeof(Header) + size));
    if (header == nullptr) {
        return nullptr;
    }
    Header& list = static_cast<GumboParse*>(self)->blocks_;
    header->previous = &list;
    header->next = list.next;
    list.next->previous = header;
    list.next = header;
    return header + 1;
}

void GumboParse::Free(void*, void* block) {
    if (block == nullptr) {
        return;
    }
    Header* const header = static_cast<Header*>(block) - 1;
    header->previous->next = header->next;
    header->next->previous = header->previous;
    std::free(header);
}

}  // namespace veltrap
