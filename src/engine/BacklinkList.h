#pragma once

#include "engine/BacklinkRecord.h"

#include <cstddef>
#include <list>
#include <string>

namespace veltrap {

// The records of one run in the order they were found. Unlinking a record
// during a walk hands back its successor, so the walk goes on from there.
class BacklinkList {
public:
    using iterator = std::list<BacklinkRecord>::iterator;
    using const_iterator = std::list<BacklinkRecord>::const_iterator;

    // Adds a fresh record for url at the end; returns its 0-based index.
    std::size_t Append(std::string url);
    // Removes the record and returns the one that followed it.
    iterator Unlink(iterator record);

    iterator begin() { return records_.begin(); }
    iterator end() { return records_.end(); }
    const_iterator begin() const { return records_.begin(); }
    const_iterator end() const { return records_.end(); }
    std::size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }

private:
    std::list<BacklinkRecord> records_;
};

}  // namespace veltrap
