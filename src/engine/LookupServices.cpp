#include "engine/LookupServices.h"

#include <cstddef>
#include <utility>

namespace veltrap {

void LookupServices::Set(RecordField field, std::string service) {
    names_[static_cast<std::size_t>(field)] = std::move(service);
}

const std::string& LookupServices::Of(RecordField field) const {
    return names_[static_cast<std::size_t>(field)];
}

std::string LookupServices::FailureNote(const BacklinkRecord& record, RecordField field) const {
    for (const auto& [failed, reason] : record.failures) {
        if (failed == field) {
            const std::string& service = Of(field);
            return (service.empty() ? "Lookup failed: " : "Lookup failed at " + service + ": ") +
                   reason;
        }
    }
    return {};
}

}  // namespace veltrap
