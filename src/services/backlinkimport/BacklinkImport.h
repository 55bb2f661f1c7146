#pragma once

#include "services/backlinkimport/ImportedBacklinks.h"

#include <memory>
#include <string>
#include <vector>

namespace veltrap {

// How reading the import files ended. A refusal comes before anything of a
// run starts: no request is ever sent for input that cannot be read whole.
struct ImportOutcome {
    enum class Refusal {
        kNone,
        kUnreadable,  // a file is missing or cannot be read
        kUnusable,    // a file is no list of linking pages: binary, broken text, no column
    };

    Refusal refusal = Refusal::kNone;
    std::string message;  // names the file; "" when nothing was refused
    std::shared_ptr<const ImportedBacklinks> imported;

    bool ok() const { return refusal == Refusal::kNone; }
};

// Reads the linking pages of exported backlink files: plain lists of
// addresses, comma, semicolon or tab separated tables in UTF-8 or UTF-16,
// and zip archives of such tables, told apart by their content alone. The
// files are read in the order given, each in its own row order; an address
// read before keeps its first place.
class BacklinkImport {
public:
    static ImportOutcome Read(const std::vector<std::string>& paths);
};

}  // namespace veltrap
