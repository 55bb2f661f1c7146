#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// The domain a page address belongs to, lower-cased: the registrable domain
// of its host under the Public Suffix List ("blog.example.co.uk" gives
// "example.co.uk"). A host the list cannot place keeps its last two labels,
// an IP address stays whole, and an address without a host gives "".
std::string RegistrableDomain(std::string_view pageUrl);

}  // namespace veltrap
