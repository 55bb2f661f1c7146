#include "services/ServiceSettings.h"

#include <utility>

namespace veltrap {

const std::string& ServiceSettings::Get(std::string_view section, std::string_view key) const {
    static const std::string kNone;
    const auto inSection = values_.find(std::string(section));
    if (inSection == values_.end()) {
        return kNone;
    }
    const auto found = inSection->second.find(std::string(key));
    return found == inSection->second.end() ? kNone : found->second;
}

void ServiceSettings::Set(const std::string& section, const std::string& key, std::string value) {
    values_[section][key] = std::move(value);
}

}  // namespace veltrap
