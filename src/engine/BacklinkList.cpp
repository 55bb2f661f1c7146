#include "engine/BacklinkList.h"

#include <utility>

namespace veltrap {

std::size_t BacklinkList::Append(std::string url) {
    const std::size_t index = records_.size();
    records_.emplace_back().url = std::move(url);
    return index;
}

BacklinkList::iterator BacklinkList::Unlink(iterator record) {
    return records_.erase(record);
}

}  // namespace veltrap
