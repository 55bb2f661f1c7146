#include "base/RunStop.h"

namespace veltrap {

bool RunStop::Cancel() {
    return Raise(kCancel);
}

bool RunStop::Abort() {
    return Raise(kCancel | kAbort);
}

void RunStop::BeginRecords() {
    Raise(kRecords);
}

bool RunStop::Raise(unsigned bits) {
    // One word holds every bit, so whichever of a cancel and the start of
    // the records comes second sees the other, and no refusal is missed.
    const unsigned before = bits_.fetch_or(bits);
    const unsigned after = before | bits;
    if (Refuses(after)) {
        refused_.request_stop();
    }
    if ((after & kAbort) != 0) {
        aborted_.request_stop();
    }
    return (before & kCancel) == 0 && (after & kCancel) != 0;
}

}  // namespace veltrap
