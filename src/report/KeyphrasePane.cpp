#include "report/KeyphrasePane.h"

#include "report/CaseInsensitiveIndex.h"
#include "report/PaneSupport.h"

#include <string>
#include <tuple>
#include <vector>

namespace veltrap {

namespace {

struct KeyphraseGroup {
    const BacklinkRecord* first = nullptr;
    int firstUrl = 0;
    // Records of the keyphrase whose url no earlier record of the whole list has.
    int newUrls = 0;
};

}  // namespace

PaneResult FillKeyphrasePane(ReportGrid& grid, const BacklinkList& list, bool reportReady,
                             const LookupServices& services) {
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
    CaseInsensitiveIndex urls(list.size());
    CaseInsensitiveIndex keyphrases;
    std::vector<int> keyphraseWhereUrlWasNew;
    std::vector<KeyphraseGroup> groups;
    for (const BacklinkRecord& record : list) {
        const auto [url, newUrl] = urls.Insert(record.url);
        int keyphrase = -1;
        if (!record.anchorText.empty()) {
            bool newKeyphrase = false;
            std::tie(keyphrase, newKeyphrase) = keyphrases.Insert(record.anchorText);
            if (newKeyphrase) {
                groups.push_back(KeyphraseGroup{&record, url, 0});
            }
        }
        if (newUrl) {
            keyphraseWhereUrlWasNew.push_back(keyphrase);
            if (keyphrase >= 0) {
                ++groups[static_cast<std::size_t>(keyphrase)].newUrls;
            }
        }
    }

    // Groups are numbered in the order their keyphrases first appear, which is
    // the order their rows are added in.
    for (std::size_t keyphrase = 0; keyphrase < groups.size(); ++keyphrase) {
        const KeyphraseGroup& group = groups[keyphrase];
        const bool ownUrlCounted =
            keyphraseWhereUrlWasNew[static_cast<std::size_t>(group.firstUrl)] ==
            static_cast<int>(keyphrase);
        const int count = 1 + group.newUrls - (ownUrlCounted ? 1 : 0);
        const BacklinkRecord& first = *group.first;
        const int row = grid.AddRow();
        grid.SetCell(row, 0, first.anchorText);
        grid.SetCell(row, 1, std::to_string(count));
        SetLookedUpCell(grid, row, 2, NumberOrNa(first.sitePos[RankColumn::kGoogle]), first,
                        RecordField::kGoogleSitePos, services);
        SetLookedUpCell(grid, row, 3, NumberOrNa(first.sitePos[RankColumn::kYahoo]), first,
                        RecordField::kYahooSitePos, services);
        SetLookedUpCell(grid, row, 4, NumberOrNa(first.sitePos[RankColumn::kMsn]), first,
                        RecordField::kMsnSitePos, services);
    }
    grid.SortDescending(1);
    return FinishPane(grid, "Double click any keyphrase to see backlink details");
}

PaneResult FillKeyphrasePane(ReportGrid& grid, const BacklinkList& list, bool reportReady) {
    return FillKeyphrasePane(grid, list, reportReady, LookupServices());
}

}  // namespace veltrap
