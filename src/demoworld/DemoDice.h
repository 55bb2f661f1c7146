#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace veltrap {

// A stream of choices from one seed, for the many small decisions that make up
// one generated page. The same seed always gives the same stream.
class DemoDice {
public:
    explicit DemoDice(std::uint64_t seed) : state_(seed) {}

    std::uint64_t Next();
    // A value from 0 to bound - 1; a bound of 0 gives 0.
    std::size_t Below(std::size_t bound);
    // True in about percent of a hundred throws.
    bool Chance(int percent) { return static_cast<int>(Below(100)) < percent; }

    template <typename T>
    const T& Pick(std::span<const T> items) {
        return items[Below(items.size())];
    }

private:
    std::uint64_t state_;
};

}  // namespace veltrap
