#include "base/UtcTimestamp.h"

#include <cstddef>
#include <cstdio>

namespace veltrap {
namespace {

// The moment's date and time of day in UTC, by the calendar's arithmetic
// alone. The C library's time functions would do, but they read and set up
// the process's time zone under a lock of their own, which other threads of
// the program (a window's) share.
struct UtcParts {
    int year;
    unsigned month;
    unsigned day;
    long hours;
    long minutes;
    long seconds;
};

UtcParts PartsOf(std::chrono::system_clock::time_point moment) {
    using namespace std::chrono;
    const auto day = floor<days>(moment);
    const year_month_day date{day};
    const hh_mm_ss time{floor<seconds>(moment - day)};
    return {static_cast<int>(date.year()),
            static_cast<unsigned>(date.month()),
            static_cast<unsigned>(date.day()),
            static_cast<long>(time.hours().count()),
            static_cast<long>(time.minutes().count()),
            static_cast<long>(time.seconds().count())};
}

// Whether the text has the form "2026-12-09T09:40:05Z", digits where they go.
bool IsUtcTimestamp(std::string_view stamp) {
    constexpr std::string_view kForm = "0000-00-00T00:00:00Z";
    if (stamp.size() != kForm.size()) {
        return false;
    }
    for (std::size_t at = 0; at < kForm.size(); ++at) {
        const bool digit = stamp[at] >= '0' && stamp[at] <= '9';
        if (kForm[at] == '0' ? !digit : stamp[at] != kForm[at]) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::string UtcTimestamp(std::chrono::system_clock::time_point moment) {
    const UtcParts at = PartsOf(moment);
    char text[48] = {};
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02ld:%02ld:%02ldZ", at.year, at.month, at.day,
                  at.hours, at.minutes, at.seconds);
    return text;
}

std::string UtcMinute(std::chrono::system_clock::time_point moment) {
    const UtcParts at = PartsOf(moment);
    char text[48] = {};
    std::snprintf(text, sizeof text, "%04d-%02u-%02u %02ld:%02ld UTC", at.year, at.month, at.day,
                  at.hours, at.minutes);
    return text;
}

std::string ShownUtcTime(std::string_view stamp) {
    if (!IsUtcTimestamp(stamp)) {
        return std::string(stamp);
    }
    return std::string(stamp.substr(0, 10)) + " " + std::string(stamp.substr(11, 5)) + " UTC";
}

}  // namespace veltrap
