#include "report/PaneSupport.h"

#include <unordered_set>
#include <utility>

namespace veltrap {

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (LowerAscii(a[i]) != LowerAscii(b[i])) {
            return false;
        }
    }
    return true;
}

std::size_t CaseInsensitiveHash::operator()(std::string_view text) const {
    // FNV-1a over the lower-cased bytes.
    std::uint64_t hash = 14695981039346656037ull;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(LowerAscii(c));
        hash *= 1099511628211ull;
    }
    return static_cast<std::size_t>(hash);
}

std::string NumberOrNa(std::int32_t value) {
    return value == -1 ? "NA" : std::to_string(value);
}

std::vector<bool> FirstUrlOccurrences(const BacklinkList& list) {
    std::vector<bool> first;
    first.reserve(list.size());
    std::unordered_set<std::string_view, CaseInsensitiveHash, CaseInsensitiveEqual> seen;
    seen.reserve(list.size());
    for (const BacklinkRecord& record : list) {
        first.push_back(seen.insert(record.url).second);
    }
    return first;
}

void StartPane(ReportGrid& grid, int columns) {
    grid.Setup(grid.Left(), grid.Top(), columns, grid.Width(), grid.VisibleRows());
}

PaneResult FinishPane(const ReportGrid& grid, std::string hintText, std::string tabTitle) {
    PaneResult result;
    result.filled = true;
    result.scrollMax = grid.MaxScroll();
    result.scrollEnabled = result.scrollMax >= 1;
    result.hintText = std::move(hintText);
    result.tabTitle = std::move(tabTitle);
    return result;
}

}  // namespace veltrap
