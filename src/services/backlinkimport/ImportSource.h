#pragma once

#include "services/BacklinkSource.h"
#include "services/backlinkimport/ImportedBacklinks.h"

#include <memory>

namespace veltrap {

// Backlinks from exported files read before the run: the discovery hands on
// every imported address in order and asks nothing of the web.
class ImportSource : public BacklinkSource {
public:
    static constexpr const char* kName = "import";

    explicit ImportSource(std::shared_ptr<const ImportedBacklinks> imported);

    std::string Name() const override { return kName; }
    // Every address, whatever maxPages says: the files are the whole list.
    // They are handed on once; the source then lets go of them.
    DiscoveryOutcome Discover(const std::string& siteKey, int maxPages, const PageFetch& fetch,
                              const std::function<void(std::string url)>& found) override;

private:
    std::shared_ptr<const ImportedBacklinks> imported_;
};

}  // namespace veltrap
