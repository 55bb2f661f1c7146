#pragma once

#include "engine/BacklinkList.h"

#include <cstdint>
#include <string>

namespace veltrap {

// What a finished or cancelled run leaves for the outputs.
struct RunOutcome {
    std::string siteKey;
    std::int32_t backlinkCount = 0;
    std::int64_t requests = 0;  // HTTP requests actually sent
    bool cancelled = false;
    BacklinkList records;
};

}  // namespace veltrap
