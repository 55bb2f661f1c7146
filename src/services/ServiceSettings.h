#pragma once

#include <map>
#include <string>
#include <string_view>

namespace veltrap {

// The settings of the services beyond the fixed [services] and [http]
// sections, by section and key, as text. Every key a service declares is
// present, with its default unless the configuration set it.
class ServiceSettings {
public:
    // The value, or "" for a key nobody declared.
    const std::string& Get(std::string_view section, std::string_view key) const;
    void Set(const std::string& section, const std::string& key, std::string value);

    // Every section and key in order, for printing the configuration.
    const std::map<std::string, std::map<std::string, std::string>>& All() const { return values_; }

private:
    std::map<std::string, std::map<std::string, std::string>> values_;
};

}  // namespace veltrap
