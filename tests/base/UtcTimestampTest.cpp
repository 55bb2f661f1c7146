#include "base/UtcTimestamp.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

namespace veltrap {
namespace {

// The C library's own formatting of the same second.
std::string Formatted(std::time_t seconds, const char* format) {
    std::tm utc{};
    char text[64] = {};
    if (gmtime_r(&seconds, &utc) == nullptr) {
        return "";
    }
    std::strftime(text, sizeof text, format, &utc);
    return text;
}

TEST(UtcTimestampTest, AgreesWithTheCLibrary) {
    // The epoch and a second before it, leap days, the ends of years and
    // days, and today's neighbourhood.
    for (const std::time_t seconds :
         {std::time_t{0}, std::time_t{-1}, std::time_t{951782400}, std::time_t{951868799},
          std::time_t{1709164800}, std::time_t{1735689599}, std::time_t{1765272005},
          std::time_t{4102444800}, std::time_t{-2208988800}}) {
        const auto moment = std::chrono::system_clock::from_time_t(seconds);
        EXPECT_EQ(UtcTimestamp(moment), Formatted(seconds, "%Y-%m-%dT%H:%M:%SZ")) << seconds;
        EXPECT_EQ(UtcMinute(moment), Formatted(seconds, "%Y-%m-%d %H:%M UTC")) << seconds;
    }
    // A moment inside a second belongs to that second.
    const auto later = std::chrono::system_clock::from_time_t(-1) + std::chrono::milliseconds(999);
    EXPECT_EQ(UtcTimestamp(later), "1969-12-31T23:59:59Z");
}

// Times shown to people take one form, whatever wrote them; a text that is
// no stored time is shown as it is rather than hidden or misread.
TEST(UtcTimestampTest, StoredTimesAreShownToTheMinute) {
    const auto moment = std::chrono::system_clock::from_time_t(1765309925);
    EXPECT_EQ(ShownUtcTime(UtcTimestamp(moment)), UtcMinute(moment));
    EXPECT_EQ(ShownUtcTime("2026-12-09T19:52:59Z"), "2026-12-09 19:52 UTC");
    for (const char* other : {"", "2026-12-09 19:52 UTC", "2026-12-09T19:52:05",
                              "2026-12-09T19:5x:05Z", "2026-12-09T19:52:05Z+"}) {
        EXPECT_EQ(ShownUtcTime(other), other);
    }
}

}  // namespace
}  // namespace veltrap
