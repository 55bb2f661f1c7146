#include "demoworld/DemoDice.h"

namespace veltrap {

std::uint64_t DemoDice::Next() {
    // splitmix64: a fixed increment, then a full mix of the counter.
    state_ += 0x9e3779b97f4a7c15ULL;
    std::uint64_t value = state_;
    value = (value ^ (value >> 30)) * 0xbf58476d1ce4e5b9ULL;
    value = (value ^ (value >> 27)) * 0x94d049bb133111ebULL;
    return value ^ (value >> 31);
}

std::size_t DemoDice::Below(std::size_t bound) {
    return bound == 0 ? 0 : static_cast<std::size_t>(Next() % bound);
}

}  // namespace veltrap
