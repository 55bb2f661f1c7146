#pragma once

#include "services/backlinkimport/ImportedBacklinks.h"

#include <cstddef>
#include <functional>
#include <string_view>
#include <unordered_set>

namespace veltrap {

// Takes the linking-page value of every imported row, in order: blanks
// around it go, a value that is no web address is skipped, and so is an
// address already taken, which keeps its first place. Memory grows with the
// addresses kept, not with the rows read.
class AddressCollector {
public:
    // What has been taken so far, to go back to when a file inside an
    // archive turns out not to be a table after all.
    struct Mark {
        std::size_t addresses;
        std::size_t rowsRead;
        std::size_t duplicates;
        std::size_t notWebAddresses;
    };

    explicit AddressCollector(ImportedBacklinks& imported);
    AddressCollector(const AddressCollector&) = delete;
    AddressCollector& operator=(const AddressCollector&) = delete;

    void Take(std::string_view value);

    Mark Here() const;
    void Rollback(const Mark& mark);

private:
    // The set holds indexes into the address list, so every address is kept once.
    struct Hash {
        const ImportedBacklinks* imported;
        std::size_t operator()(std::size_t index) const;
    };
    struct Equal {
        const ImportedBacklinks* imported;
        bool operator()(std::size_t a, std::size_t b) const;
    };

    ImportedBacklinks& imported_;
    std::unordered_set<std::size_t, Hash, Equal> seen_;
};

}  // namespace veltrap
