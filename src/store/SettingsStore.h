#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace veltrap {

// The program's saved state: a few named text values kept between runs in
// the [General] section of an INI file in the user's configuration folder.
// Every call reads the file afresh, so an edit made by hand between two calls
// is always seen, however soon after the last write it comes. Nothing here
// ever shows a message: an unreadable value reads as absent.
class SettingsStore {
public:
    static constexpr std::string_view kPageList = "PageList";
    static constexpr std::string_view kLinkDomain = "LinkDomain";
    static constexpr std::string_view kSearchResults = "SearchResults";
    // The window's last size, as "WIDTHxHEIGHT" in pixels.
    static constexpr std::string_view kWindowSize = "WindowSize";
    // The disavow file every run of the window reads, as a path.
    static constexpr std::string_view kDisavowFile = "DisavowFile";

    // The user's own store, "Quorvex.ini" in $XDG_CONFIG_HOME or ~/.config.
    SettingsStore();
    // An INI file of the caller's choosing, for tests and portable set-ups.
    explicit SettingsStore(std::filesystem::path iniPath);

    // The value's text, or "" when it is missing or cannot be read as text.
    std::string Read(std::string_view name) const;
    // Stores the text, keeping every other line of the file as it was. The
    // file is replaced whole, so a reader never sees half of it. Returns false
    // when it could not be written; the file is then unchanged.
    bool Write(std::string_view name, std::string_view text) const;
    // Stores what change makes of the value's text, read and written with no
    // other program's change to the file in between; no text leaves the
    // file as it is. Returns false when it could not be written.
    using Changer = std::function<std::optional<std::string>(const std::string& stored)>;
    bool Change(std::string_view name, const Changer& change) const;

    const std::filesystem::path& Path() const { return iniPath_; }

private:
    std::filesystem::path iniPath_;
};

}  // namespace veltrap
