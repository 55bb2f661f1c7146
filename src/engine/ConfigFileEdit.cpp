#include "engine/ConfigFileEdit.h"

#include "base/TextSearch.h"
#include "base/WriteWholeFile.h"

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string_view>
#include <system_error>

#include <sys/stat.h>

namespace veltrap {
namespace {

// One line of the file, its end kept apart so that a changed line ends as the
// others do.
struct Line {
    std::string body;
    std::string end;
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const auto newline = text.find('\n', start);
        const std::size_t stop = newline == std::string::npos ? text.size() : newline;
        Line line{text.substr(start, stop - start), newline == std::string::npos ? "" : "\n"};
        if (line.body.ends_with('\r')) {
            line.body.pop_back();
            line.end = "\r\n";
        }
        lines.push_back(std::move(line));
        start = stop + 1;
    }
    return lines;
}

std::string Joined(const std::vector<Line>& lines) {
    std::string text;
    for (const Line& line : lines) {
        text += line.body + line.end;
    }
    return text;
}

// The section a header line opens, or nothing for any other line.
bool SectionOf(std::string_view line, std::string& section) {
    const std::string_view trimmed = Trimmed(line, " \t");
    if (!trimmed.starts_with('[')) {
        return false;
    }
    const auto close = trimmed.find(']');
    section = std::string(trimmed.substr(1, close == std::string_view::npos ? close : close - 1));
    return true;
}

bool IsKeyLine(std::string_view line, std::string_view key) {
    const std::string_view trimmed = Trimmed(line, " \t");
    if (trimmed.empty() || trimmed.front() == ';' || trimmed.front() == '#') {
        return false;
    }
    const auto separator = trimmed.find_first_of("=:");
    return separator != std::string_view::npos &&
           Trimmed(trimmed.substr(0, separator), " \t") == key;
}

std::string KeyLine(const std::string& key, const std::string& value) {
    // A ';' after a blank starts a comment, so such a value follows the '='.
    return value.empty() ? key + " =" : key + (value.starts_with(';') ? " =" : " = ") + value;
}

}  // namespace

std::string ConfigFileEdit::Set(const std::string& text, const Change& change) {
    std::vector<Line> lines = SplitLines(text);
    const std::string end = !lines.empty() && lines.front().end == "\r\n" ? "\r\n" : "\n";
    std::string section;
    // The line after the last non-blank line of the section, where a new key goes.
    std::size_t insertAt = std::string::npos;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (SectionOf(lines[i].body, section)) {
            if (section == change.section) {
                insertAt = i + 1;
            }
            continue;
        }
        if (section != change.section) {
            continue;
        }
        if (IsKeyLine(lines[i].body, change.key)) {
            lines[i].body = KeyLine(change.key, change.value);
            return Joined(lines);
        }
        if (!Trimmed(lines[i].body, " \t").empty()) {
            insertAt = i + 1;
        }
    }
    if (!lines.empty() && lines.back().end.empty()) {
        lines.back().end = end;
    }
    if (insertAt == std::string::npos) {
        if (!lines.empty()) {
            lines.push_back({"", end});
        }
        lines.push_back({"[" + change.section + "]", end});
        insertAt = lines.size();
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt),
                 {KeyLine(change.key, change.value), end});
    return Joined(lines);
}

Result<std::string> ConfigFileEdit::Apply(const std::string& text,
                                          const std::vector<Change>& changes,
                                          const std::string& name) {
    std::string edited = text;
    for (const Change& change : changes) {
        edited = Set(edited, change);
    }
    Result<ServiceConfig> parsed = ServiceConfig::Parse(edited, name);
    if (!parsed) {
        return parsed.failure();
    }
    for (const ConfigEntry& entry : parsed->Entries()) {
        for (const Change& change : changes) {
            if (entry.section == change.section && entry.key == change.key &&
                entry.value != change.value) {
                return Failure{name + ": the value of '" + change.key +
                                   "' would not read back as it was given",
                               true};
            }
        }
    }
    return edited;
}

Result<std::string> ConfigFileEdit::Edited(const std::string& path,
                                           const std::vector<Change>& changes) {
    std::string text;
    if (std::ifstream in(path, std::ios::binary); in) {
        text.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        if (in.bad()) {
            return Failure{path + ": cannot read the configuration file"};
        }
    } else if (errno != ENOENT) {
        return Failure{path + ": cannot read the configuration file (" +
                       std::generic_category().message(errno) + ")"};
    }
    return Apply(text, changes, path);
}

Result<ServiceConfig> ConfigFileEdit::Preview(const std::string& path,
                                              const std::vector<Change>& changes) {
    Result<std::string> edited = Edited(path, changes);
    if (!edited) {
        return edited.failure();
    }
    return ServiceConfig::Parse(*edited, path);
}

Status ConfigFileEdit::Write(const std::string& path, const std::vector<Change>& changes) {
    Result<std::string> edited = Edited(path, changes);
    if (!edited) {
        return edited.failure();
    }
    const Result<ServiceConfig> parsed = ServiceConfig::Parse(*edited, path);
    bool holdsSecret = false;
    for (const ConfigEntry& entry : parsed->Entries()) {
        holdsSecret = holdsSecret || (entry.secret && !entry.value.empty());
    }
    // A file that holds a secret is the owner's alone from its first byte.
    // Otherwise the new file keeps the old one's permissions, so one a person
    // made private stays private.
    unsigned mode = 0666;
    if (struct stat old{}; ::stat(path.c_str(), &old) == 0) {
        mode = old.st_mode & 0777;
    }
    if (holdsSecret) {
        mode &= S_IRUSR | S_IWUSR;
    }
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    return WriteWholeFile(path, *edited, mode);
}

}  // namespace veltrap
