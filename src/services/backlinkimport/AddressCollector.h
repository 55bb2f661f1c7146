#pragma once

#include "services/backlinkimport/ImportedBacklinks.h"

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

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
        std::size_t withoutScheme;
    };

    explicit AddressCollector(ImportedBacklinks& imported);
    AddressCollector(const AddressCollector&) = delete;
    AddressCollector& operator=(const AddressCollector&) = delete;

    void Take(std::string_view value);
    // Takes a page named without its scheme as its http:// address.
    void TakeWithoutScheme(std::string_view value);

    Mark Here() const;
    void Rollback(const Mark& mark);

private:
    // The addresses taken so far are found again through an open-addressed
    // table of slots, each 32 bits of the address's hash and its place in the
    // list plus one (zero marks a free slot). Small flat slots keep a list of
    // hundreds of thousands of addresses to a probe or two per row, with no
    // allocation per address. Thirty-two bits of place are more addresses
    // than memory holds: each takes at least 32 bytes in the list.
    struct Slot {
        std::uint32_t hash = 0;
        std::uint32_t placePlusOne = 0;
    };

    // Whether the address is taken; if not, the free slot it would go into.
    bool Find(std::string_view address, std::uint32_t hash, std::size_t& slot) const;
    void Grow();
    void Rebuild(std::size_t slots);
    // Puts a slot into the first free place from its hash on.
    void Place(const Slot& slot);

    ImportedBacklinks& imported_;
    std::vector<Slot> slots_;
};

}  // namespace veltrap
