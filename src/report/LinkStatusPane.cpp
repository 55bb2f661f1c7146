#include "report/LinkStatusPane.h"

#include "report/PaneSupport.h"

#include <array>
#include <string>
#include <utility>

namespace veltrap {
namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 10> kWords = {{
    {"follow", "Follow"},
    {"nofollow", "Nofollow"},
    {"ugc", "UGC"},
    {"sponsored", "Sponsored"},
    {"noindex", "Noindex page"},
    {"not-found", "Link not found"},
    {"gone", "Page gone"},
    {"error", "HTTP error"},
    {"unreachable", "No answer"},
    {"own-site", "Own site"},
}};

std::string HttpCell(std::int32_t status) {
    return status > 0 ? std::to_string(status) : std::string();
}

}  // namespace

std::string_view LinkStatusWords(std::string_view linkStatus) {
    for (const auto& [status, words] : kWords) {
        if (status == linkStatus) {
            return words;
        }
    }
    return {};
}

PaneResult FillLinkStatusPane(ReportGrid& grid, const BacklinkList& kept,
                              const std::vector<UnlinkedRecord>& unlinked, bool reportReady) {
    if (!reportReady) {
        return {};
    }
    StartPane(grid, 5);
    grid.SetHeader(0, "Linking Page", false);
    grid.SetHeader(1, "Status", false);
    grid.SetHeader(2, "HTTP", true);
    grid.SetHeader(3, "Rel", false);
    grid.SetHeader(4, "Link Type", false);
    grid.SetFraction(0, 0.46f);
    grid.SetFraction(1, 0.14f);
    grid.SetFraction(2, 0.08f);
    grid.SetFraction(3, 0.17f);
    grid.SetFraction(4, 0.15f);

    auto removed = unlinked.begin();
    const auto addRemovedUpTo = [&](std::size_t keptBefore) {
        for (; removed != unlinked.end() && removed->keptBefore <= keptBefore; ++removed) {
            const int row = grid.AddRow();
            grid.SetCell(row, 0, removed->url);
            grid.SetCell(row, 1, std::string(LinkStatusWords(removed->linkStatus)));
            grid.SetCell(row, 2, HttpCell(removed->httpStatus));
        }
    };
    std::size_t index = 0;
    for (const BacklinkRecord& record : kept) {
        addRemovedUpTo(index++);
        const int row = grid.AddRow();
        grid.SetCell(row, 0, record.url);
        grid.SetCell(row, 1, std::string(LinkStatusWords(record.linkStatus)));
        grid.SetCell(row, 2, HttpCell(record.httpStatus));
        grid.SetCell(row, 3, record.rel);
        grid.SetCell(row, 4, record.reciprocal ? "Reciprocal" : "One Way");
    }
    addRemovedUpTo(index);
    return FinishPane(grid, "Double click any URL to view this page.");
}

}  // namespace veltrap
