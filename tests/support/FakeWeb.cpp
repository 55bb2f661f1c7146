#include "support/FakeWeb.h"

namespace veltrap::testing {

void FakeWeb::Serve(const std::string& url, std::string text, long status) {
    PageAnswer& page = pages_[url];
    page.answered = true;
    page.status = status;
    page.body = std::move(text);
    page.finalUrl = url;
}

PageFetch FakeWeb::Fetch() {
    return [this](const std::string& url, const RequestHeaders&) {
        asked_.push_back(url);
        const auto found = pages_.find(url);
        return found == pages_.end() ? PageAnswer{} : found->second;
    };
}

}  // namespace veltrap::testing
