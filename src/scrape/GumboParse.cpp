#include "scrape/GumboParse.h"

#include <cstdlib>

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
