#include "FakeWeb.h"

namespace veltrap::testing {

PageFetch FakeWeb::Fetch() {
    return [this](const std::string& url) {
        asked_.push_back(url);
        const auto found = pages_.find(url);
        return found == pages_.end() ? std::string() : found->second;
    };
}

}  // namespace veltrap::testing
