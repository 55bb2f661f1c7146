#pragma once

#include "FuzzInput.h"
#include "engine/BacklinkList.h"
#include "engine/UnlinkedRecord.h"

#include <vector>

namespace veltrap::fuzzing {

// Records made from a fuzz input, for the writers of the report: every part
// after the first is one record, its lines the text fields in the order url,
// href, anchor text, final address, rel, canonical and a failure reason, and
// its bytes past the text the numbers. Every second record is also listed as
// removed.
class FuzzRecords {
public:
    explicit FuzzRecords(const FuzzInput& input);

    const BacklinkList& Kept() const { return kept_; }
    const std::vector<UnlinkedRecord>& Unlinked() const { return unlinked_; }

private:
    BacklinkList kept_;
    std::vector<UnlinkedRecord> unlinked_;
};

}  // namespace veltrap::fuzzing
