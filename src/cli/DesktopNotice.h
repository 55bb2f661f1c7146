#pragma once

#include "base/Result.h"

#include <string>

namespace veltrap {

// A desktop notification sent to the user's session bus, to the
// org.freedesktop.Notifications service every desktop offers.
class DesktopNotice {
public:
    // Shows the summary line under the program's name. Without a session bus,
    // or without a notification service on it, the failure says so.
    static Status Show(const std::string& summary);
};

}  // namespace veltrap
