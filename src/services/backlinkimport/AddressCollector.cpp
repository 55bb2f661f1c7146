#include "services/backlinkimport/AddressCollector.h"

#include "base/AsciiCase.h"

#include <string>

namespace veltrap {
namespace {

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

std::size_t AddressCollector::Hash::operator()(std::size_t index) const {
    return std::hash<std::string_view>()(imported->addresses[index]);
}

bool AddressCollector::Equal::operator()(std::size_t a, std::size_t b) const {
    return imported->addresses[a] == imported->addresses[b];
}

AddressCollector::AddressCollector(ImportedBacklinks& imported)
    : imported_(imported), seen_(0, Hash{&imported}, Equal{&imported}) {}

void AddressCollector::Take(std::string_view value) {
    ++imported_.rowsRead;
    const std::string_view address = Trimmed(value);
    if (!StartsWithNoCase(address, "http://") && !StartsWithNoCase(address, "https://")) {
        ++imported_.notWebAddresses;
        return;
    }
    // The candidate goes into the list first, so that the set can compare it.
    imported_.addresses.emplace_back(address);
    if (!seen_.insert(imported_.addresses.size() - 1).second) {
        imported_.addresses.pop_back();
        ++imported_.duplicates;
    }
}

AddressCollector::Mark AddressCollector::Here() const {
    return {imported_.addresses.size(), imported_.rowsRead, imported_.duplicates,
            imported_.notWebAddresses};
}

void AddressCollector::Rollback(const Mark& mark) {
    while (imported_.addresses.size() > mark.addresses) {
        seen_.erase(imported_.addresses.size() - 1);
        imported_.addresses.pop_back();
    }
    imported_.rowsRead = mark.rowsRead;
    imported_.duplicates = mark.duplicates;
    imported_.notWebAddresses = mark.notWebAddresses;
}

}  // namespace veltrap
