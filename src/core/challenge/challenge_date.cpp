#include "core/challenge/challenge_date.h"

#include <array>
#include <cstdio>

namespace quorvane {

namespace {

// Howard Hinnant's days-from-civil and its inverse: exact for the proleptic
// Gregorian calendar, no time zone involved.
int64_t DaysFromCivil(int64_t y, int64_t m, int64_t d) {
    y -= m <= 2;
    const int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int64_t yoe = y - era * 400;
    const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t z, int64_t& y, int64_t& m, int64_t& d) {
    z += 719468;
    const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const int64_t doe = z - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y = yoe + era * 400 + (m <= 2);
}

bool Digits(std::string_view text) {
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return !text.empty();
}

int64_t Number(std::string_view text) {
    int64_t n = 0;
    for (const char c : text) {
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

std::optional<int64_t> ParseIsoDate(std::string_view text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !Digits(text.substr(0, 4)) ||
        !Digits(text.substr(5, 2)) || !Digits(text.substr(8, 2))) {
        return std::nullopt;
    }
    const int64_t y = Number(text.substr(0, 4));
    const int64_t m = Number(text.substr(5, 2));
    const int64_t d = Number(text.substr(8, 2));
    if (m < 1 || m > 12 || d < 1 || d > 31) {
        return std::nullopt;
    }
    const int64_t day = DaysFromCivil(y, m, d);
    // 31 February and the like come back as another month.
    int64_t yy = 0;
    int64_t mm = 0;
    int64_t dd = 0;
    CivilFromDays(day, yy, mm, dd);
    if (mm != m || dd != d) {
        return std::nullopt;
    }
    return day;
}

std::string FormatIsoDate(int64_t day) {
    int64_t y = 0;
    int64_t m = 0;
    int64_t d = 0;
    CivilFromDays(day, y, m, d);
    char text[32];
    std::snprintf(text, sizeof text, "%04lld-%02lld-%02lld", static_cast<long long>(y),
                  static_cast<long long>(m), static_cast<long long>(d));
    return text;
}

int WeekdayOf(int64_t day) {
    // 1970-01-01 was a Thursday.
    return static_cast<int>(((day % 7) + 7 + 3) % 7);
}

std::string ShortDate(int64_t day) {
    static constexpr std::array<const char*, 7> kDays = {"Mon", "Tue", "Wed", "Thu",
                                                         "Fri", "Sat", "Sun"};
    static constexpr std::array<const char*, 12> kMonths = {
        "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    int64_t y = 0;
    int64_t m = 0;
    int64_t d = 0;
    CivilFromDays(day, y, m, d);
    return std::string(kDays[static_cast<std::size_t>(WeekdayOf(day))]) + " " + std::to_string(d) +
           " " + kMonths[static_cast<std::size_t>(m - 1)];
}

}  // namespace quorvane

#include <ctime>

namespace quorvane {

int64_t LocalToday() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return ParseIsoDate(text).value_or(0);
}

}  // namespace quorvane
