#include "services/backlinkimport/AddressCollector.h"

#include "base/AsciiCase.h"

#include <functional>
#include <string>

namespace veltrap {
namespace {

// A power of two, so that a hash finds its slot by masking.
constexpr std::size_t kFirstSlots = 64;

std::uint32_t HashOf(std::string_view address) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>()(address));
}

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

}  // namespace

AddressCollector::AddressCollector(ImportedBacklinks& imported) : imported_(imported) {
    Rebuild(kFirstSlots);
}

void AddressCollector::Take(std::string_view value) {
    ++imported_.rowsRead;
    const std::string_view address = Trimmed(value);
    if (!StartsWithNoCase(address, "http://") && !StartsWithNoCase(address, "https://")) {
        ++imported_.notWebAddresses;
        return;
    }
    const std::uint32_t hash = HashOf(address);
    std::size_t slot = 0;
    if (Find(address, hash, slot)) {
        ++imported_.duplicates;
        return;
    }
    imported_.addresses.emplace_back(address);
    slots_[slot] = {hash, static_cast<std::uint32_t>(imported_.addresses.size())};
    // At most half the slots are used, so a search ends soon on a free one.
    if (imported_.addresses.size() * 2 > slots_.size()) {
        Grow();
    }
}

void AddressCollector::TakeWithoutScheme(std::string_view value) {
    ++imported_.withoutScheme;
    Take("http://" + std::string(Trimmed(value)));
}

bool AddressCollector::Find(std::string_view address, std::uint32_t hash, std::size_t& slot) const {
    const std::size_t mask = slots_.size() - 1;
    for (slot = hash & mask;; slot = (slot + 1) & mask) {
        const Slot& here = slots_[slot];
        if (here.placePlusOne == 0) {
            return false;
        }
        if (here.hash == hash && imported_.addresses[here.placePlusOne - 1] == address) {
            return true;
        }
    }
}

void AddressCollector::Grow() {
    std::vector<Slot> old(slots_.size() * 2);
    old.swap(slots_);
    for (const Slot& slot : old) {
        if (slot.placePlusOne != 0) {
            Place(slot);
        }
    }
}

void AddressCollector::Rebuild(std::size_t slots) {
    slots_.assign(slots, Slot{});
    for (std::size_t place = 0; place < imported_.addresses.size(); ++place) {
        Place({HashOf(imported_.addresses[place]), static_cast<std::uint32_t>(place + 1)});
    }
}

void AddressCollector::Place(const Slot& slot) {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = slot.hash & mask;
    while (slots_[at].placePlusOne != 0) {
        at = (at + 1) & mask;
    }
    slots_[at] = slot;
}

AddressCollector::Mark AddressCollector::Here() const {
    return {imported_.addresses.size(), imported_.rowsRead, imported_.duplicates,
            imported_.notWebAddresses, imported_.withoutScheme};
}

void AddressCollector::Rollback(const Mark& mark) {
    // Rolling back is rare (a file in an archive that was no table), so the
    // table is simply built again from the addresses that stay.
    if (imported_.addresses.size() > mark.addresses) {
        imported_.addresses.resize(mark.addresses);
        Rebuild(slots_.size());
    }
    imported_.rowsRead = mark.rowsRead;
    imported_.duplicates = mark.duplicates;
    imported_.notWebAddresses = mark.notWebAddresses;
    imported_.withoutScheme = mark.withoutScheme;
}

}  // namespace veltrap
