#include "demoworld/DemoHash.h"

namespace veltrap {
namespace {

constexpr std::uint64_t kFnvPrime = 1099511628211ULL;

// The finaliser of splitmix64: spreads every input bit over the whole value.
std::uint64_t Mix(std::uint64_t value) {
    value ^= value >> 30;
    value *= 0xbf58476d1ce4e5b9ULL;
    value ^= value >> 27;
    value *= 0x94d049bb133111ebULL;
    value ^= value >> 31;
    return value;
}

}  // namespace

DemoHash& DemoHash::Add(std::string_view text) {
    for (const char c : text) {
        state_ = (state_ ^ static_cast<unsigned char>(c)) * kFnvPrime;
    }
    return Add(static_cast<std::uint64_t>(text.size()));
}

DemoHash& DemoHash::Add(std::uint64_t number) {
    for (int shift = 0; shift < 64; shift += 8) {
        state_ = (state_ ^ ((number >> shift) & 0xff)) * kFnvPrime;
    }
    return *this;
}

std::uint64_t DemoHash::Value() const {
    return Mix(state_);
}

std::uint64_t DemoHash::Below(std::uint64_t bound) const {
    return bound == 0 ? 0 : Value() % bound;
}

}  // namespace veltrap
