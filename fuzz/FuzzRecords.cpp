#include "FuzzRecords.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

namespace veltrap::fuzzing {
namespace {

// The link states and robots values a run gives; the writers take them as
// they are, so they are drawn from the real ones rather than made up.
constexpr std::array<std::string_view, 8> kLinkStatuses{"",          "gone", "error",    "noindex",
                                                        "sponsored", "ugc",  "nofollow", "follow"};
constexpr std::array<std::string_view, 4> kRobots{"", "noindex", "nofollow", "noindex nofollow"};
constexpr std::array<std::string_view, 5> kUnlinkedStatuses{"own-site", "not-found", "gone",
                                                            "error", "unreachable"};

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (lines.size() < 8) {
        const auto end = text.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(text.substr(start));
            break;
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    lines.resize(8);
    return lines;
}

// The next four bytes of the number text as a number, any value a field can hold.
std::int32_t Number(const std::string& bytes, std::size_t& offset) {
    std::uint32_t value = 0;
    const std::size_t count =
        offset < bytes.size() ? std::min<std::size_t>(4, bytes.size() - offset) : 0;
    std::memcpy(&value, bytes.data() + offset, count);
    offset += 4;
    return static_cast<std::int32_t>(value);
}

}  // namespace

FuzzRecords::FuzzRecords(const FuzzInput& input) {
    for (std::size_t part = 1; part < input.PartCount(); ++part) {
        const std::vector<std::string> lines = Lines(input.Part(part));
        kept_.Append(lines[0]);
        BacklinkRecord& record = *std::prev(kept_.end());
        record.href = lines[1];
        record.anchorText = lines[2];
        record.finalUrl = lines[3];
        record.rel = lines[4];
        record.canonical = lines[5];
        if (!lines[6].empty()) {
            record.failures.emplace_back(RecordField::kPageRank, lines[6]);
        }
        const std::string& numbers = lines[7];
        std::size_t offset = 0;
        for (std::int32_t* field :
             {&record.pagePos[RankColumn::kGoogle], &record.pagePos[RankColumn::kMsn],
              &record.pagePos[RankColumn::kYahoo], &record.sitePos[RankColumn::kGoogle],
              &record.sitePos[RankColumn::kMsn], &record.sitePos[RankColumn::kYahoo],
              &record.pageRank, &record.homePageRank, &record.httpStatus}) {
            *field = Number(numbers, offset);
        }
        const auto pick = static_cast<std::uint32_t>(Number(numbers, offset));
        record.reciprocal = (pick & 1) != 0;
        record.linkStatus = kLinkStatuses[(pick >> 1) % kLinkStatuses.size()];
        record.robots = kRobots[(pick >> 4) % kRobots.size()];
        if (part % 2 == 0) {
            unlinked_.push_back({lines[0],
                                 std::string(kUnlinkedStatuses[pick % kUnlinkedStatuses.size()]),
                                 record.httpStatus, kept_.size()});
        }
    }
}

}  // namespace veltrap::fuzzing
