#include "report/LinkStatusPane.h"

#include "report/PaneSupport.h"

#include <algorithm>
#include <array>
#include <string>
#include <utility>

namespace veltrap {
namespace {

constexpr std::array<std::pair<std::string_view, std::string_view>, 13> kWords = {{
    {"follow", "Follow"},
    {"nofollow", "Nofollow"},
    {"ugc", "UGC"},
    {"sponsored", "Sponsored"},
    {"noindex", "Noindex page"},
    {"not-found", "Link not found"},
    {"gone", "Page gone"},
    {"blocked", "Blocked"},
    {"cut-short", "Page cut short"},
    {"error", "HTTP error"},
    {"unreachable", "No answer"},
    {"unrendered", "Not rendered"},
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

std::string LinkStatusCell(std::string_view linkStatus, bool disavowed) {
    const std::string words(LinkStatusWords(linkStatus));
    return disavowed ? words + (words.empty() ? "" : ", ") + "Disavowed" : words;
}

PaneResult FillLinkStatusPane(ReportGrid& grid, const BacklinkList& kept,
                              const std::vector<UnlinkedRecord>& unlinked, bool reportReady,
                              const LinkChanges* changes, const LookupServices& services) {
    if (!reportReady) {
        return {};
    }
    // A run that read no page in a browser shows the columns it always had.
    const bool showRendered =
        std::any_of(kept.begin(), kept.end(), [](const auto& r) { return r.rendered; }) ||
        std::any_of(unlinked.begin(), unlinked.end(), [](const auto& r) { return r.rendered; });
    const int columns = (changes ? 6 : 5) + (showRendered ? 1 : 0);
    const int renderedColumn = columns - 1;
    StartPane(grid, columns);
    grid.SetHeader(0, "Linking Page", false);
    grid.SetHeader(kLinkStatusColumn, "Status", false);
    grid.SetHeader(2, "HTTP", true);
    grid.SetHeader(3, "Rel", false);
    grid.SetHeader(4, "Link Type", false);
    if (changes) {
        grid.SetHeader(kLinkChangeColumn, "Change", false);
        constexpr float kFractions[] = {0.4f, 0.14f, 0.07f, 0.15f, 0.13f, 0.11f};
        for (int column = 0; column < 6; ++column) {
            grid.SetFraction(column, kFractions[column]);
        }
    } else {
        grid.SetFraction(0, 0.46f);
        grid.SetFraction(1, 0.14f);
        grid.SetFraction(2, 0.08f);
        grid.SetFraction(3, 0.17f);
        grid.SetFraction(4, 0.15f);
    }
    if (showRendered) {
        constexpr float kRenderedFraction = 0.08f;
        grid.SetHeader(renderedColumn, "Rendered", false);
        for (int column = 0; column < renderedColumn; ++column) {
            grid.SetFraction(column, grid.Fraction(column) * (1.0f - kRenderedFraction));
        }
        grid.SetFraction(renderedColumn, kRenderedFraction);
    }
    const auto setRendered = [&](int row, bool rendered) {
        if (showRendered) {
            grid.SetCell(row, renderedColumn, rendered ? "yes" : "no");
        }
    };
    const auto setChange = [&](int row, const std::string& url) {
        if (!changes) {
            return;
        }
        if (const auto found = changes->byUrl.find(url); found != changes->byUrl.end()) {
            grid.SetCell(row, kLinkChangeColumn, found->second);
        }
    };

    auto removed = unlinked.begin();
    const auto addRemovedUpTo = [&](std::size_t keptBefore) {
        for (; removed != unlinked.end() && removed->keptBefore <= keptBefore; ++removed) {
            const int row = grid.AddRow();
            grid.SetCell(row, 0, removed->url);
            grid.SetCell(row, kLinkStatusColumn,
                         LinkStatusCell(removed->linkStatus, removed->disavowed));
            grid.SetCell(row, 2, HttpCell(removed->httpStatus));
            setChange(row, removed->url);
            setRendered(row, removed->rendered);
        }
    };
    std::size_t index = 0;
    for (const BacklinkRecord& record : kept) {
        addRemovedUpTo(index++);
        const int row = grid.AddRow();
        grid.SetCell(row, 0, record.url);
        grid.SetCell(row, kLinkStatusColumn, LinkStatusCell(record.linkStatus, record.disavowed));
        grid.SetCell(row, 2, HttpCell(record.httpStatus));
        grid.SetCell(row, 3, record.rel);
        SetLookedUpCell(grid, row, 4, record.reciprocal ? "Reciprocal" : "One Way", record,
                        RecordField::kReciprocal, services);
        setChange(row, record.url);
        setRendered(row, record.rendered);
    }
    addRemovedUpTo(index);
    if (changes) {
        for (const std::string& url : changes->unseen) {
            const int row = grid.AddRow();
            grid.SetCell(row, 0, url);
            grid.SetCell(row, kLinkStatusColumn, "Not listed");
            grid.SetCell(row, kLinkChangeColumn, "Unlisted");
        }
    }
    return FinishPane(grid, "Double click any URL to view this page.");
}

}  // namespace veltrap
