#pragma once

#include "base/LookupOutcome.h"
#include "net/PageFetch.h"

#include <string>
#include <vector>

namespace veltrap {

// Where the authority ("Page Rank") of a page comes from. The run asks from
// several threads at once, so an implementation is safe to call concurrently.
class AuthorityProvider {
public:
    virtual ~AuthorityProvider() = default;

    // The name the configuration chooses it by.
    virtual std::string Name() const = 0;
    // Told once, before any lookup, of every page address the run may ask
    // about, so that a service that answers many at a time can ask ahead.
    virtual void Prepare(const std::vector<std::string>& pageUrls, const PageFetch& fetch) {
        (void)pageUrls;
        (void)fetch;
    }
    virtual LookupOutcome Authority(const std::string& pageUrl, const PageFetch& fetch) = 0;
};

}  // namespace veltrap
