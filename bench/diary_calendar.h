#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace quorvane::bench {

// The dated line that opens each generated day ("march 3, tuesday,"), as diarists
// write it: its words reach the reader as items, which the suspects must leave out.
// Starts on a Monday, the first of January, in a year without a leap day.
class DiaryCalendar {
  public:
    // Today's line, CR LF included; the calendar then moves on a day.
    std::string NextDateLine() {
        static constexpr std::array kMonths = {"january",   "february", "march",    "april",
                                               "may",       "june",     "july",     "august",
                                               "september", "october",  "november", "december"};
        static constexpr std::array kMonthDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        static constexpr std::array kWeekdays = {"monday", "tuesday",  "wednesday", "thursday",
                                                 "friday", "saturday", "sunday"};
        std::string line = std::string(kMonths[month_]) + ' ' + std::to_string(dayOfMonth_) + ", " +
                           kWeekdays[weekday_] + ",\r\n";
        weekday_ = (weekday_ + 1) % kWeekdays.size();
        if (++dayOfMonth_ > kMonthDays[month_]) {
            dayOfMonth_ = 1;
            month_ = (month_ + 1) % kMonths.size();
        }
        return line;
    }

  private:
    std::size_t month_ = 0;
    std::size_t weekday_ = 0;
    int dayOfMonth_ = 1;
};

}  // namespace quorvane::bench
