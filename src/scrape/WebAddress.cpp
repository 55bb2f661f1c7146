#include "scrape/WebAddress.h"

namespace veltrap {

bool HasWebScheme(std::string_view address) {
    return address.find("http://") != std::string_view::npos || address.starts_with("https://");
}

std::string WithHttpScheme(std::string_view address) {
    if (HasWebScheme(address)) {
        return std::string(address);
    }
    return "http://" + std::string(address);
}

std::string HomePageAddress(std::string_view pageAddress) {
    const auto scheme = pageAddress.find("//");
    const auto hostStart = scheme == std::string_view::npos ? 0 : scheme + 2;
    const auto slash = pageAddress.find('/', hostStart);
    return std::string(pageAddress.substr(0, slash));
}

}  // namespace veltrap
