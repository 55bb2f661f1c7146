#pragma once

#include <array>
#include <string_view>

namespace veltrap {

// The three search rank columns of the report, each asked of one engine.
enum class RankColumn { kGoogle, kYahoo, kMsn };

inline constexpr std::array<RankColumn, 3> kRankColumns{RankColumn::kGoogle, RankColumn::kYahoo,
                                                        RankColumn::kMsn};

// "google", "yahoo" or "msn".
constexpr std::string_view RankColumnName(RankColumn column) {
    switch (column) {
        case RankColumn::kGoogle:
            return "google";
        case RankColumn::kYahoo:
            return "yahoo";
        case RankColumn::kMsn:
            break;
    }
    return "msn";
}

}  // namespace veltrap
