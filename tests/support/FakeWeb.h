#pragma once

#include "net/PageFetch.h"

#include <map>
#include <string>
#include <vector>

namespace veltrap::testing {

// Pages by address for the readers that follow several pages, with a log of
// every address asked for. A known address answers 200 with its text, or the
// status it was served with; an unknown one gets no answer at all.
class FakeWeb {
public:
    void Serve(const std::string& url, std::string text, long status = 200);
    PageFetch Fetch();
    const std::vector<std::string>& Asked() const { return asked_; }

private:
    std::map<std::string, PageAnswer> pages_;
    std::vector<std::string> asked_;
};

}  // namespace veltrap::testing
