#include "services/backlinkimport/ImportSource.h"

#include <utility>

namespace veltrap {

ImportSource::ImportSource(std::shared_ptr<const ImportedBacklinks> imported)
    : imported_(std::move(imported)) {}

DiscoveryOutcome ImportSource::Discover(const std::string&, int, const PageFetch&,
                                        const std::function<void(std::string url)>& found) {
    for (const std::string& address : imported_->addresses) {
        found(address);
    }
    return {};
}

}  // namespace veltrap
