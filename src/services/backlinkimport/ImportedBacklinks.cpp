#include "services/backlinkimport/ImportedBacklinks.h"

namespace veltrap {
namespace {

std::string Counted(std::size_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

std::string ImportedBacklinks::Summary() const {
    std::string text = "Imported " + Counted(addresses.size(), "address", "addresses") + " from " +
                       Counted(files, "file", "files") + ": " + Counted(rowsRead, "row", "rows") +
                       " read, " + std::to_string(RowsSkipped()) + " skipped";
    if (RowsSkipped() > 0) {
        std::string reasons;
        if (duplicates > 0) {
            reasons = std::to_string(duplicates) + " already imported";
        }
        if (notWebAddresses > 0) {
            reasons += (reasons.empty() ? "" : ", ") + std::to_string(notWebAddresses) +
                       " not beginning with http:// or https://";
        }
        text += " (" + reasons + ")";
    }
    if (withoutScheme > 0) {
        text += ", " + std::to_string(withoutScheme) + " without a scheme read with http://";
    }
    if (!passedOver.empty()) {
        text += "; passed over:";
        const char* separator = " ";
        for (const std::string& file : passedOver) {
            text += separator + file;
            separator = "; ";
        }
    }
    return text;
}

}  // namespace veltrap
