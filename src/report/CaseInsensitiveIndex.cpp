#include "report/CaseInsensitiveIndex.h"

#include <bit>
#include <cstring>

namespace veltrap {

namespace {

constexpr std::uint64_t kOnes = 0x0101010101010101ull;
constexpr std::uint64_t kHighBits = 0x8080808080808080ull;
constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;

// Lower-cases the ASCII capitals among eight bytes at once. Each byte's low
// seven bits are offset so that its high bit tells "at least 'A'" and "above
// 'Z'"; the offsets cannot carry into the next byte. Bytes of 0x80 and up stay.
std::uint64_t LowerEight(std::uint64_t word) {
    const std::uint64_t low = word & ~kHighBits;
    const std::uint64_t atLeastA = low + kOnes * (0x80 - 'A');
    const std::uint64_t aboveZ = low + kOnes * (0x7F - 'Z');
    const std::uint64_t capital = atLeastA & ~aboveZ & ~word & kHighBits;
    return word | (capital >> 2);
}

// Bytes [at, at + count) of text as one word, zero-padded, count at most 8.
std::uint64_t Load(std::string_view text, std::size_t at, std::size_t count) {
    std::uint64_t word = 0;
    std::memcpy(&word, text.data() + at, count);
    return word;
}

std::uint64_t Mix(std::uint64_t hash) {
    hash ^= hash >> 32;
    hash *= kMultiplier;
    return hash ^ (hash >> 29);
}

constexpr std::size_t kMinSlots = 16;

}  // namespace

std::uint64_t HashIgnoreCase(std::string_view text) {
    std::uint64_t hash = text.size() * kMultiplier;
    std::size_t at = 0;
    for (; at + 8 <= text.size(); at += 8) {
        hash = (hash ^ LowerEight(Load(text, at, 8))) * kMultiplier;
        hash ^= hash >> 31;
    }
    if (at < text.size()) {
        hash = (hash ^ LowerEight(Load(text, at, text.size() - at))) * kMultiplier;
    }
    return Mix(hash);
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    std::size_t at = 0;
    for (; at + 8 <= a.size(); at += 8) {
        if (LowerEight(Load(a, at, 8)) != LowerEight(Load(b, at, 8))) {
            return false;
        }
    }
    const std::size_t rest = a.size() - at;
    return rest == 0 || LowerEight(Load(a, at, rest)) == LowerEight(Load(b, at, rest));
}

CaseInsensitiveIndex::CaseInsensitiveIndex(std::size_t expected) {
    // At most half the slots are ever in use.
    slots_.resize(std::max(kMinSlots, std::bit_ceil(expected * 2)));
    mask_ = slots_.size() - 1;
}

std::pair<int, bool> CaseInsensitiveIndex::Insert(std::string_view text) {
    const std::uint64_t hash = HashIgnoreCase(text);
    std::size_t at = hash & mask_;
    for (;; at = (at + 1) & mask_) {
        const Slot& slot = slots_[at];
        if (slot.id < 0) {
            break;
        }
        if (slot.hash == hash && EqualsIgnoreCase(slot.text, text)) {
            return {slot.id, false};
        }
    }
    const int id = size_++;
    slots_[at] = Slot{text, hash, id};
    if (static_cast<std::size_t>(size_) * 2 > slots_.size()) {
        Grow();
    }
    return {id, true};
}

void CaseInsensitiveIndex::Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    mask_ = slots_.size() - 1;
    for (const Slot& slot : old) {
        if (slot.id < 0) {
            continue;
        }
        std::size_t at = slot.hash & mask_;
        while (slots_[at].id >= 0) {
            at = (at + 1) & mask_;
        }
        slots_[at] = slot;
    }
}

}  // namespace veltrap
