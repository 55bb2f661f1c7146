#include "scrape/GumboParse.h"

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
    for (void* block : blocks_) {
        std::free(block);
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
    void* block = std::malloc(size);
    if (block != nullptr) {
        static_cast<GumboParse*>(self)->blocks_.insert(block);
    }
    return block;
}

void GumboParse::Free(void* self, void* block) {
    if (block == nullptr) {
        return;
    }
    static_cast<GumboParse*>(self)->blocks_.erase(block);
    std::free(block);
}

}  // namespace veltrap
