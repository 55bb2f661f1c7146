#pragma once

#include "net/PageFetch.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrap::fuzzing {

// One fuzz input cut into parts at every line "-----", so that a seed can hold
// a key and several pages and still be written and read by hand. A part that
// is asked for but is not there is empty.
class FuzzInput {
public:
    static constexpr std::string_view kSeparator = "\n-----\n";

    FuzzInput(const std::uint8_t* data, std::size_t size);

    std::size_t PartCount() const { return parts_.size(); }
    const std::string& Part(std::size_t index) const;

    // A fetch that answers the requests in turn with the parts from first on,
    // each with status 200, and then leaves every further request unanswered.
    // A part beginning with "!" is not answered either, so the readers' paths
    // for failed pages are walked too. Requests are counted across copies.
    PageFetch Pages(std::size_t first) const;

private:
    std::vector<std::string> parts_;
};

}  // namespace veltrap::fuzzing
