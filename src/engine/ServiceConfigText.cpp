#include "engine/ServiceConfigText.h"

#include "base/AsciiCase.h"
#include "net/ProxyAddress.h"

namespace veltrap {

bool IsSecretKeyName(std::string_view key) {
    const std::string lower = LowerAscii(key);
    return lower.ends_with("_key") || lower.find("secret") != std::string::npos ||
           lower.find("token") != std::string::npos;
}

std::string ServiceConfigText(const ServiceConfig& config, const std::string& origin) {
    std::string text = "; The service configuration in force.\n; Read from: " + origin + "\n";
    std::string section;
    for (const ConfigEntry& entry : config.Entries()) {
        if (entry.section != section) {
            section = entry.section;
            text += "\n[" + section + "]\n";
        }
        // An unset secret shows that it is unset; a set one shows none of its bytes.
        const bool masked = (entry.secret || IsSecretKeyName(entry.key)) && !entry.value.empty();
        if (entry.value.empty()) {
            text += entry.key + " =\n";
            continue;
        }
        // A proxy's address shows everything but its password.
        const std::string value = masked ? std::string(kMaskedSecret)
                                  : entry.section == "http" && entry.key == "proxy"
                                      ? ProxyAddress::Masked(entry.value, kMaskedSecret)
                                      : entry.value;
        // A ';' after a blank starts a comment, so a value that begins with
        // one must follow the '=' directly to be read back whole.
        std::string_view separator = value.starts_with(';') ? " =" : " = ";
        // A value that filled its line to the last byte the reader takes fits
        // again only without the blanks around the '='.
        if (entry.key.size() + separator.size() + value.size() > ServiceConfig::kLongestLine) {
            separator = "=";
        }
        text.append(entry.key).append(separator).append(value).append("\n");
    }
    return text;
}

}  // namespace veltrap
