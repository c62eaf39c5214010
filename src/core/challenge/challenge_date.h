#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace quorvane {

// Calendar dates as days since 1970-01-01, for the plan's dates; the diary
// itself counts days by "#", never by dates.
std::optional<int64_t> ParseIsoDate(std::string_view text);  // "2026-12-11"
std::string FormatIsoDate(int64_t day);
int WeekdayOf(int64_t day);          // 0 Monday to 6 Sunday
std::string ShortDate(int64_t day);  // "Fri 11 Dec"

}  // namespace quorvane

namespace quorvane {

// The local calendar date of the system clock.
int64_t LocalToday();

}  // namespace quorvane
