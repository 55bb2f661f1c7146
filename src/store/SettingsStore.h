#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace veltrap {

// The program's saved state: a few named text values kept between runs. On
// Windows they live in the registry under "Software\Quorvex"; elsewhere in an
// INI file in the user's configuration folder. Every call opens the store
// afresh, so edits made by hand between calls are seen. Nothing here ever
// shows a message: an unreadable value reads as absent.
class SettingsStore {
public:
    static constexpr std::string_view kPageList = "PageList";
    static constexpr std::string_view kLinkDomain = "LinkDomain";
    static constexpr std::string_view kSearchResults = "SearchResults";

    // The user's own store for organisation "Quorvex".
    SettingsStore();
    // An INI file of the caller's choosing, for tests and portable set-ups.
    explicit SettingsStore(QString iniPath);

    // The value's text, or "" when it is missing or cannot be read as text.
    std::string Read(std::string_view name) const;
    // Stores the text; returns false when it could not be written.
    bool Write(std::string_view name, std::string_view text) const;

private:
    QString iniPath_;  // empty for the user's own store
};

}  // namespace veltrap
