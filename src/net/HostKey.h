#pragma once

#include <string>

namespace veltrap {

// "host:port" of an address, lower-cased, with the scheme's port when none is
// written; "" for text libcurl cannot read as an address. The fetch
// scheduler keeps its per-host limits under this key.
std::string HostKey(const std::string& target);

}  // namespace veltrap
