#pragma once

#include "engine/BacklinkRecord.h"
#include "engine/RecordField.h"
#include "engine/RecordFields.h"

#include <array>
#include <string>

namespace veltrap {

// Which service a run asked for each looked-up field, so that a failed
// lookup can be told with the service that failed and not only why. A run
// read back from somewhere that did not keep the names knows none.
class LookupServices {
public:
    void Set(RecordField field, std::string service);
    // The service asked for the field; "" when none is known.
    const std::string& Of(RecordField field) const;
    // What to tell of the field in the record when its lookup failed: the
    // service, when known, and the reason, as in "Lookup failed at
    // openpagerank: status 503 for a.example"; "" when it did not fail.
    std::string FailureNote(const BacklinkRecord& record, RecordField field) const;

private:
    std::array<std::string, kRecordFields.size()> names_;
};

}  // namespace veltrap
