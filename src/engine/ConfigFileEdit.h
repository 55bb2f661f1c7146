#pragma once

#include "base/Result.h"
#include "engine/ServiceConfig.h"

#include <string>
#include <utility>
#include <vector>

namespace veltrap {

// Changes keys in the text of a configuration file and keeps everything else
// as a person wrote it: comments, blank lines, keys it does not change and
// their order. A key already in the file is changed on its own line; a new
// one goes at the end of its section, and a new section at the end.
class ConfigFileEdit {
public:
    struct Change {
        std::string section;
        std::string key;
        std::string value;
    };

    // The text with every change made, checked as the configuration reads it:
    // a value the configuration refuses fails with the configuration's own
    // message (name standing for the file), and so does one that would not
    // read back as it was given.
    static Result<std::string> Apply(const std::string& text, const std::vector<Change>& changes,
                                     const std::string& name);

    // Applies the changes to the file at path (a missing file counts as an
    // empty one, its folder is made) and replaces it whole, so that a reader
    // never sees half of it. A file that then holds a secret can be read by
    // its owner only. Nothing is written when a change is refused.
    static Status Write(const std::string& path, const std::vector<Change>& changes);
    // The configuration the file at path would give with the changes made,
    // refused as Write refuses them; nothing is written.
    static Result<ServiceConfig> Preview(const std::string& path,
                                         const std::vector<Change>& changes);

private:
    // The file's text with the changes made; a missing file counts as empty.
    static Result<std::string> Edited(const std::string& path, const std::vector<Change>& changes);
    static std::string Set(const std::string& text, const Change& change);
};

}  // namespace veltrap
