#pragma once

#include <string>
#include <vector>

namespace veltrap {

// Header lines a request sends besides the usual ones, each "Name: value".
using RequestHeaders = std::vector<std::string>;

}  // namespace veltrap
