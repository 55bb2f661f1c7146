#include "engine/RunContext.h"

namespace veltrap {

bool RunContext::Announce(const std::string& line) const {
    if (progress.status) {
        return progress.status(line);
    }
    return !stop.Cancelled();
}

}  // namespace veltrap
