#pragma once

#include <string>

namespace veltrap {

// A configuration key a service owns: where it stands, its default, and how
// its value is checked when the configuration is read.
struct ConfigKey {
    enum class Kind {
        kText,      // anything, empty included
        kNonEmpty,  // any text but the empty one
        kWebUrl,    // an http:// or https:// address with a host
        kSecret,    // text that is never printed
    };

    std::string section;
    std::string key;
    std::string defaultValue;
    Kind kind = Kind::kText;
    // An environment variable that, when set, takes the key's place.
    std::string environment;
    // One line for the configuration's documentation.
    std::string meaning;
    // A few words that name the key on the Services page.
    std::string label;
};

}  // namespace veltrap
