#pragma once

#include <QUrl>

#include <string_view>

namespace veltrap {

// The web page a cell of the report stands for, or an empty QUrl when the
// cell holds anything but a well-formed http:// or https:// address with a
// host. Cells hold whatever the linking pages and the services supplied, so
// only what passes this check may be handed to the desktop to open.
QUrl WebAddressToOpen(std::string_view text);

}  // namespace veltrap
