#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace veltrap {

// The linking pages read from exported files, and what became of every row.
struct ImportedBacklinks {
    // Every address in the order first read; an address read again is not
    // repeated.
    std::vector<std::string> addresses;
    std::size_t files = 0;
    std::size_t rowsRead = 0;
    std::size_t duplicates = 0;       // rows whose address was read before
    std::size_t notWebAddresses = 0;  // rows without an http:// or https:// address
    // Lines of a plain list that named a page without its scheme
    // ("timberstone.example/page.html"), read with "http://".
    std::size_t withoutScheme = 0;
    // Files inside archives that hold no list of linking pages, each with
    // why: "links.zip: Top linking sites.csv (no column of linking pages)".
    std::vector<std::string> passedOver;

    std::size_t RowsSkipped() const { return duplicates + notWebAddresses; }
    // "Imported 3 addresses from 1 file: 5 rows read, 2 skipped (1 already
    // imported, 1 not beginning with http:// or https://)", then how many
    // lines were read without a scheme, then the files passed over.
    std::string Summary() const;
};

}  // namespace veltrap
