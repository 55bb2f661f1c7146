#include "store/SettingsStore.h"

#include "base/TextSearch.h"
#include "store/IniValue.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <system_error>
#include <utility>
#include <vector>

namespace veltrap {
namespace {

constexpr std::string_view kGeneral = "[General]";

std::filesystem::path UserStorePath() {
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && config[0] == '/') {
        return std::filesystem::path(config) / "Quorvex.ini";
    }
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home != nullptr ? home : "") / ".config" / "Quorvex.ini";
}

// The file's lines without their line ends; none when it cannot be read.
std::optional<std::vector<std::string>> ReadLines(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(std::move(line));
    }
    if (in.bad()) {
        return std::nullopt;
    }
    return lines;
}

// Where the lines of the general section are: keys before any section belong
// to it, as do those under "[General]".
struct Found {
    std::optional<std::size_t> keyLine;     // the last line that sets the key
    std::optional<std::size_t> sectionEnd;  // just after the section's last key line
};

Found Find(const std::vector<std::string>& lines, std::string_view name) {
    Found found;
    bool general = true;
    for (std::size_t index = 0; index < lines.size(); ++index) {
        const std::string_view line = Trimmed(lines[index]);
        if (line.starts_with('[')) {
            general = line == kGeneral;
            if (general) {
                found.sectionEnd = index + 1;
            }
            continue;
        }
        if (!general || line.empty() || line.starts_with(';') || line.starts_with('#')) {
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        found.sectionEnd = index + 1;
        if (Trimmed(line.substr(0, equals)) == name) {
            found.keyLine = index;
        }
    }
    return found;
}

// The value's text, or "" when it is missing or cannot be read as text.
std::string ValueOf(const std::vector<std::string>& lines, std::string_view name) {
    const Found found = Find(lines, name);
    if (!found.keyLine) {
        return {};
    }
    const std::string& line = lines[*found.keyLine];
    const std::string_view value = Trimmed(std::string_view(line).substr(line.find('=') + 1));
    return ReadIniValue(value).value_or("");
}

// Holds a lock on a file next to the store from reading it to renaming the
// new one into place, so that two programs saving at once (two windows, say)
// do not each write back what they read and lose the other's change. The
// store itself cannot carry the lock, as every write replaces it.
class StoreLock {
public:
    explicit StoreLock(const std::filesystem::path& store)
        : fd_(::open((store.string() + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600)) {
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            if (errno != EINTR) {
                ::close(fd_);
                fd_ = -1;
            }
        }
    }
    ~StoreLock() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    StoreLock(const StoreLock&) = delete;
    StoreLock& operator=(const StoreLock&) = delete;

    bool Held() const { return fd_ >= 0; }

private:
    int fd_;
};

bool MakeFolderOf(const std::filesystem::path& path) {
    std::error_code error;
    if (path.has_parent_path()) {
        std::filesystem::create_directories(path.parent_path(), error);
    }
    return !error;
}

// Writes the text next to the file and renames it into place.
bool ReplaceWhole(const std::filesystem::path& path, const std::string& text) {
    std::string temporary = path.string() + ".XXXXXX";
    const int fd = mkstemp(temporary.data());
    if (fd < 0) {
        return false;
    }
    std::size_t written = 0;
    while (written < text.size()) {
        const ssize_t wrote = ::write(fd, text.data() + written, text.size() - written);
        if (wrote <= 0) {
            break;
        }
        written += static_cast<std::size_t>(wrote);
    }
    const bool complete = written == text.size() && fsync(fd) == 0;
    if (::close(fd) != 0 || !complete || std::rename(temporary.c_str(), path.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace

SettingsStore::SettingsStore() : iniPath_(UserStorePath()) {}

SettingsStore::SettingsStore(std::filesystem::path iniPath) : iniPath_(std::move(iniPath)) {}

std::string SettingsStore::Read(std::string_view name) const {
    const auto lines = ReadLines(iniPath_);
    return lines ? ValueOf(*lines, name) : std::string();
}

bool SettingsStore::Write(std::string_view name, std::string_view text) const {
    return Change(name, [text](const std::string&) { return std::string(text); });
}

bool SettingsStore::Change(std::string_view name, const Changer& change) const {
    if (!MakeFolderOf(iniPath_)) {
        return false;
    }
    const StoreLock lock(iniPath_);
    if (!lock.Held()) {
        return false;
    }
    std::vector<std::string> lines;
    std::error_code error;
    if (std::filesystem::exists(iniPath_, error)) {
        auto read = ReadLines(iniPath_);
        if (!read) {
            // A file that is there but cannot be read is not replaced by one
            // holding this value alone.
            return false;
        }
        lines = std::move(*read);
    }
    const std::optional<std::string> text = change(ValueOf(lines, name));
    if (!text) {
        return true;
    }
    const std::string entry = std::string(name) + "=" + EscapeIniValue(*text);
    const Found found = Find(lines, name);
    if (found.keyLine) {
        lines[*found.keyLine] = entry;
    } else if (found.sectionEnd) {
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*found.sectionEnd), entry);
    } else {
        // The general section comes first, as the file has always had it.
        lines.insert(lines.begin(), {std::string(kGeneral), entry, ""});
        if (lines.size() == 3) {
            lines.pop_back();
        }
    }
    std::string whole;
    for (const std::string& line : lines) {
        whole += line + '\n';
    }
    return ReplaceWhole(iniPath_, whole);
}

}  // namespace veltrap
