#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// A reference found on a page made absolute against the page's address, as a
// browser resolves it; "" when either cannot be read as a web address.
std::string AbsoluteAddress(std::string_view base, std::string_view reference);

// Whether two absolute addresses name the same resource: scheme and host are
// compared without regard to case, a default port counts as no port, and the
// fragment is left out. Addresses that cannot be read are never the same.
bool SameAddress(std::string_view a, std::string_view b);

// The form SameAddress compares: equal forms name the same resource. "" for
// an address that cannot be read, which matches nothing.
std::string AddressKey(std::string_view address);

// The host of an absolute address, lower-cased, without a port; "" when the
// address cannot be read.
std::string AddressHost(std::string_view address);

// "host:port" of an address, lower-cased, with the scheme's port when none is
// written; "" for text libcurl cannot read as an address. The fetch
// scheduler keeps its per-host limits under this key.
std::string HostKey(std::string_view address);

}  // namespace veltrap
