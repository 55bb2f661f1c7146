#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace veltrap {

// Gives each distinct text a small id, in the order the texts are first seen,
// treating texts that differ only in ASCII case as the same. The texts are
// not copied: each must outlive the index. Open addressing over one flat array
// keeps lookups cache-friendly even for hundreds of thousands of texts. Pass
// the expected number of distinct texts when it is known to be large; the
// table grows by itself otherwise, and an oversized table costs cache misses.
class CaseInsensitiveIndex {
public:
    explicit CaseInsensitiveIndex(std::size_t expected = 0);

    // The text's id and whether it was new; a new text gets id Size().
    std::pair<int, bool> Insert(std::string_view text);
    int Size() const { return size_; }

private:
    // Each slot keeps its text and full hash, so that a probe touches one
    // place in memory before the text compare, and growing needs no rehash.
    struct Slot {
        std::string_view text;
        std::uint64_t hash = 0;
        int id = -1;
    };

    void Grow();

    std::vector<Slot> slots_;
    std::size_t mask_ = 0;
    int size_ = 0;
};

// ASCII case-insensitive hash and equality, eight bytes at a time.
std::uint64_t HashIgnoreCase(std::string_view text);
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

}  // namespace veltrap
