#include "cli/DesktopNotice.h"

#include <systemd/sd-bus.h>

#include <cstring>

namespace veltrap {
namespace {

// Frees what sd-bus handed out, however the call ends.
struct BusCleanup {
    sd_bus* bus = nullptr;
    sd_bus_message* reply = nullptr;
    sd_bus_error error = SD_BUS_ERROR_NULL;
    ~BusCleanup() {
        sd_bus_error_free(&error);
        sd_bus_message_unref(reply);
        sd_bus_flush_close_unref(bus);
    }
};

}  // namespace

Status DesktopNotice::Show(const std::string& summary) {
    BusCleanup call;
    if (const int opened = sd_bus_open_user(&call.bus); opened < 0) {
        return Failure{std::string("no session bus (") + std::strerror(-opened) + ")"};
    }
    // Notify(app_name, replaces_id, app_icon, summary, body, actions, hints,
    // expire_timeout), as the desktop notifications interface defines it.
    const int sent = sd_bus_call_method(
        call.bus, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
        "org.freedesktop.Notifications", "Notify", &call.error, &call.reply, "susssasa{sv}i",
        "Veltrap", 0u, "veltrap", summary.c_str(), "", 0, 0, -1);
    if (sent < 0) {
        return Failure{std::string("the session bus has no notification service (") +
                       (call.error.message != nullptr ? call.error.message : std::strerror(-sent)) +
                       ")"};
    }
    return {};
}

}  // namespace veltrap
