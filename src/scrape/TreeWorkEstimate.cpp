#include "scrape/TreeWorkEstimate.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace veltrap {
namespace {

bool IsVoid(std::string_view name) {
    static constexpr std::array<std::string_view, 19> kVoid = {
        "area", "base",  "basefont", "bgsound", "br",   "col",   "embed",  "frame", "hr", "image",
        "img",  "input", "keygen",   "link",    "meta", "param", "source", "track", "wbr"};
    return std::find(kVoid.begin(), kVoid.end(), name) != kVoid.end();
}

bool EndsItsOwnKind(std::string_view name) {
    static constexpr std::array<std::string_view, 16> kKinds = {
        "p",  "li",    "dt",    "dd",    "option", "optgroup", "tr", "td",
        "th", "tbody", "thead", "tfoot", "rb",     "rt",       "rp", "rtc"};
    return std::find(kKinds.begin(), kKinds.end(), name) != kKinds.end();
}

}  // namespace

void TreeWorkEstimate::Start(const std::string& name, std::uint64_t attributes) {
    const auto [it, added] = names_.try_emplace(name);
    Name& counted = it->second;
    if (added) {
        counted.isVoid = IsVoid(name);
        counted.endsItsOwnKind = EndsItsOwnKind(name);
    }
    if (!counted.isVoid && (counted.open == 0 || !counted.endsItsOwnKind)) {
        ++counted.open;
        ++depth_;
    }
    work_ += depth_ + (attributes > 1 ? attributes * (attributes - 1) / 2 : 0);
}

void TreeWorkEstimate::End(const std::string& name) {
    const auto it = names_.find(name);
    if (it != names_.end() && it->second.open > 0) {
        --it->second.open;
        --depth_;
    }
}

}  // namespace veltrap
