#include "report/KeyphrasePane.h"

#include "report/PaneSupport.h"

#include <string>
#include <string_view>
#include <unordered_map>

namespace veltrap {

namespace {

struct KeyphraseGroup {
    const BacklinkRecord* first = nullptr;
    // Records of the keyphrase whose url no earlier record of the whole list has.
    int newUrls = 0;
};

}  // namespace

PaneResult FillKeyphrasePane(ReportGrid& grid, const BacklinkList& list, bool reportReady) {
    if (!reportReady) {
        return {};
    }
    StartPane(grid, 5);
    grid.SetHeader(0, "Link Text", false);
    grid.SetHeader(1, "Occurances", true);
    grid.SetHeader(2, "Google Rank", true);
    grid.SetHeader(3, "Yahoo Rank", true);
    grid.SetHeader(4, "MSN Rank", true);
    grid.SetFraction(0, 0.48f);
    for (int column = 1; column < 5; ++column) {
        grid.SetFraction(column, 0.13f);
    }

    // A keyphrase counts its first record once, plus every record of the
    // keyphrase that brings a url not seen anywhere earlier in the list, except
    // one with the first record's own url. Each url is new at exactly one
    // record, so that exception is at most one record: the one where the first
    // record's url was new, if it belongs to this keyphrase.
    const std::vector<bool> newUrl = FirstUrlOccurrences(list);
    std::unordered_map<std::string_view, KeyphraseGroup, CaseInsensitiveHash, CaseInsensitiveEqual>
        groups;
    std::unordered_map<std::string_view, const BacklinkRecord*, CaseInsensitiveHash,
                       CaseInsensitiveEqual>
        urlOwner;
    std::vector<const BacklinkRecord*> order;
    std::size_t index = 0;
    for (const BacklinkRecord& record : list) {
        const bool isNew = newUrl[index++];
        if (isNew) {
            urlOwner.emplace(record.url, &record);
        }
        if (record.anchorText.empty()) {
            continue;
        }
        KeyphraseGroup& group = groups[record.anchorText];
        if (group.first == nullptr) {
            group.first = &record;
            order.push_back(&record);
        }
        if (isNew) {
            ++group.newUrls;
        }
    }

    for (const BacklinkRecord* first : order) {
        const KeyphraseGroup& group = groups.at(first->anchorText);
        const BacklinkRecord* owner = urlOwner.at(first->url);
        const bool ownerInGroup = EqualsIgnoreCase(owner->anchorText, first->anchorText);
        const int count = 1 + group.newUrls - (ownerInGroup ? 1 : 0);
        const int row = grid.AddRow();
        grid.SetCell(row, 0, first->anchorText);
        grid.SetCell(row, 1, std::to_string(count));
        grid.SetCell(row, 2, NumberOrNa(first->googleSitePos));
        grid.SetCell(row, 3, NumberOrNa(first->yahooSitePos));
        grid.SetCell(row, 4, NumberOrNa(first->msnSitePos));
    }
    grid.SortDescending(1);
    return FinishPane(grid, "Double click any keyphrase to see backlink details");
}

}  // namespace veltrap
