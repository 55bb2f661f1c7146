#include "store/SavedState.h"

#include "base/LeadingInteger.h"
#include "store/SiteList.h"

#include <optional>
#include <string>

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
    const std::string size = store.Read(SettingsStore::kWindowSize);
    if (const std::size_t cross = size.find('x'); cross != std::string::npos) {
        const std::int32_t width = LeadingInteger32(size.substr(0, cross));
        const std::int32_t height = LeadingInteger32(size.substr(cross + 1));
        if (width > 0 && height > 0) {
            state.windowWidth = width;
            state.windowHeight = height;
        }
    }
    state.disavowFile = store.Read(SettingsStore::kDisavowFile);
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
    bool added = false;
    store.Change(SettingsStore::kPageList,
                 [&](const std::string& stored) -> std::optional<std::string> {
                     if (SiteListHasEntry(stored, site)) {
                         return std::nullopt;
                     }
                     added = true;
                     return SiteListWithEntry(stored, site);
                 });
    return added;
}

bool SavedState::SaveWindowSize(const SettingsStore& store, int width, int height) {
    return store.Write(SettingsStore::kWindowSize,
                       std::to_string(width) + "x" + std::to_string(height));
}

bool SavedState::SaveDisavowFile(const SettingsStore& store, std::string_view file) {
    return store.Write(SettingsStore::kDisavowFile, file);
}

bool SavedState::ForgetSite(const SettingsStore& store, std::string_view site) {
    return store.Change(SettingsStore::kPageList, [site](const std::string& stored) {
        return std::optional<std::string>(SiteListWithoutEntry(stored, site));
    });
}

}  // namespace veltrap
