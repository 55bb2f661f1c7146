#pragma once

#include "base/Result.h"
#include "base/RunStop.h"
#include "services/backlinkimport/ImportedBacklinks.h"

#include <memory>
#include <string>
#include <vector>

namespace veltrap {

// Reads the linking pages of exported backlink files: plain lists of
// addresses, comma, semicolon or tab separated tables in UTF-8 or UTF-16,
// and zip archives of such tables, told apart by their content alone. The
// files are read in the order given, each in its own row order; an address
// read before keeps its first place.
//
// A refusal comes before anything of a run starts: no request is ever sent
// for input that cannot be read whole. It names the file; a file that is
// missing or cannot be read is the world's fault, one that is no list of
// linking pages (binary, broken text, no column, not one address) the
// input's. The stop is honoured while the files are read: a pipe that never
// gets a writer, or a large archive, ends the import when it comes, with the
// refusal ImportFile::Stopped.
class BacklinkImport {
public:
    static Result<std::shared_ptr<const ImportedBacklinks>> Read(
        const std::vector<std::string>& paths, const RunStop& stop);
    // The same, for a caller that never stops it.
    static Result<std::shared_ptr<const ImportedBacklinks>> Read(
        const std::vector<std::string>& paths);
};

}  // namespace veltrap
