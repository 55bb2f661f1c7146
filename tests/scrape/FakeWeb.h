#pragma once

#include "scrape/PageFetch.h"

#include <map>
#include <string>
#include <vector>

namespace veltrap::testing {

// Pages by address for the readers that follow several pages, with a log of
// every address asked for. Unknown addresses read as "".
class FakeWeb {
public:
    void Serve(const std::string& url, std::string text) { pages_[url] = std::move(text); }
    PageFetch Fetch();
    const std::vector<std::string>& Asked() const { return asked_; }

private:
    std::map<std::string, std::string> pages_;
    std::vector<std::string> asked_;
};

}  // namespace veltrap::testing
