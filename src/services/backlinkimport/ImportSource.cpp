#include "services/backlinkimport/ImportSource.h"

#include <utility>

namespace veltrap {

ImportSource::ImportSource(std::shared_ptr<const ImportedBacklinks> imported)
    : imported_(std::move(imported)) {}

DiscoveryOutcome ImportSource::Discover(const std::string&, int, const PageFetch&,
                                        const std::function<void(std::string url)>& found) {
    if (imported_) {
        for (const std::string& address : imported_->addresses) {
            found(address);
        }
    }
    // The records now hold every address; a large import is not kept beside
    // them for the rest of the run.
    imported_.reset();
    return {};
}

}  // namespace veltrap
