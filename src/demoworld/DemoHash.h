#pragma once

#include <cstdint>
#include <string_view>

namespace veltrap {

// A 64-bit hash of a sequence of values. The demo web draws every choice from
// hashes of the request's own parts, so a page is a pure function of its
// address and the same report comes out the same every time.
class DemoHash {
public:
    DemoHash() = default;
    explicit DemoHash(std::string_view text) { Add(text); }

    // Each value is framed, so ("ab", "c") and ("a", "bc") hash apart.
    DemoHash& Add(std::string_view text);
    DemoHash& Add(std::uint64_t number);

    std::uint64_t Value() const;
    // A value from 0 to bound - 1; a bound of 0 gives 0.
    std::uint64_t Below(std::uint64_t bound) const;

private:
    std::uint64_t state_ = 14695981039346656037ULL;
};

}  // namespace veltrap
