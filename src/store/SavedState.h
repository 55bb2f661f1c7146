#pragma once

#include "store/SettingsStore.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace veltrap {

// What the program remembers between runs, as it reads it at start-up.
struct SavedState {
    static constexpr std::int32_t kDefaultLimit = 10;

    // Most backlink result pages per run ("LinkDomain").
    std::int32_t maxBacklinkPages = kDefaultLimit;
    // Most result pages per search engine ("SearchResults").
    std::int32_t maxRankingPages = kDefaultLimit;
    // The sites profiled before, in stored order ("PageList").
    std::vector<std::string> sites;
    // The window's size when it was last closed; 0 by 0 when none was saved
    // or the saved text is not two sizes above 0.
    int windowWidth = 0;
    int windowHeight = 0;
    // The disavow file the user chose ("DisavowFile"); empty for none.
    std::string disavowFile;

    // Reads every value. A limit that is absent or empty stays at its
    // default; one that does not start with a number reads as 0.
    static SavedState Load(const SettingsStore& store);
    // Writes both limits as decimal text; false when the store refused.
    static bool SaveLimits(const SettingsStore& store, std::int32_t maxBacklinkPages,
                           std::int32_t maxRankingPages);
    // Adds site to the saved list unless it is already one of its entries.
    // Returns true when the site was new to the list. A site holding a comma
    // cannot be an entry of the stored form and is never saved.
    static bool RememberSite(const SettingsStore& store, std::string_view site);
    static bool SaveWindowSize(const SettingsStore& store, int width, int height);
    static bool SaveDisavowFile(const SettingsStore& store, std::string_view file);
    // Takes site off the saved list; false when the store refused.
    static bool ForgetSite(const SettingsStore& store, std::string_view site);
};

}  // namespace veltrap
