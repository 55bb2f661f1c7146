#pragma once

#include <string>
#include <string_view>

namespace veltrap {

// True when the address names its own scheme: it contains "http://" anywhere
// or begins with "https://".
bool HasWebScheme(std::string_view address);

// The address ready to fetch: one without a scheme is taken as plain HTTP, and
// one that has a scheme is used as it stands.
std::string WithHttpScheme(std::string_view address);

// The home page of a page address: the address cut before the first "/" that
// follows its first "//" (or, without "//", before its first "/"). An address
// with no such "/" is its own home page.
std::string HomePageAddress(std::string_view pageAddress);

}  // namespace veltrap
