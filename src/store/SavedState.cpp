#include "store/SavedState.h"

#include "base/LeadingInteger.h"
#include "store/SiteList.h"

namespace veltrap {
namespace {

std::int32_t ReadLimit(const SettingsStore& store, std::string_view name) {
    const std::string text = store.Read(name);
    return text.empty() ? SavedState::kDefaultLimit : LeadingInteger32(text);
}

}  // namespace

SavedState SavedState::Load(const SettingsStore& store) {
    SavedState state;
    state.maxBacklinkPages = ReadLimit(store, SettingsStore::kLinkDomain);
    state.maxRankingPages = ReadLimit(store, SettingsStore::kSearchResults);
    state.sites = SiteListEntries(store.Read(SettingsStore::kPageList));
    return state;
}

bool SavedState::SaveLimits(const SettingsStore& store, std::int32_t maxBacklinkPages,
                            std::int32_t maxRankingPages) {
    const bool backlinks =
        store.Write(SettingsStore::kLinkDomain, std::to_string(maxBacklinkPages));
    const bool ranking =
        store.Write(SettingsStore::kSearchResults, std::to_string(maxRankingPages));
    return backlinks && ranking;
}

bool SavedState::RememberSite(const SettingsStore& store, std::string_view site) {
    if (site.empty() || site.find(',') != std::string_view::npos) {
        return false;
    }
    const std::string stored = store.Read(SettingsStore::kPageList);
    if (SiteListHasEntry(stored, site)) {
        return false;
    }
    store.Write(SettingsStore::kPageList, SiteListWithEntry(stored, site));
    return true;
}

}  // namespace veltrap
