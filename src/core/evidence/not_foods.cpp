#include "core/evidence/not_foods.h"

#include <algorithm>
#include <iterator>

#include "core/analysis/symptom_table.h"
#include "core/evidence/diary_evidence.h"
#include "core/settings/profile_file.h"

namespace quorvane {

namespace {

// Views, so that a comparison looks at the lengths first: every item's words are
// looked up here.
constexpr std::string_view kNotFoodWords[] = {
    "JANUARY",  "FEBRUARY",    "MARCH",      "APRIL",       "MAY",
    "JUNE",     "JULY",        "AUGUST",     "SEPTEMBER",   "OCTOBER",
    "NOVEMBER", "DECEMBER",    "JAN",        "FEB",         "MAR",
    "APR",      "JUN",         "JUL",        "AUG",         "SEP",
    "SEPT",     "OCT",         "NOV",        "DEC",         "MONDAY",
    "TUESDAY",  "WEDNESDAY",   "THURSDAY",   "FRIDAY",      "SATURDAY",
    "SUNDAY",   "MON",         "TUE",        "TUES",        "WED",
    "THU",      "THUR",        "THURS",      "FRI",         "SAT",
    "SUN",      "END OF MEAL", "END OF DAY", "MISSED INFO", "QUITTING ADDICTION"};

// The words that record which side of a planned test a day was on.
constexpr std::string_view kChallengeWords[] = {"CHALLENGE EAT", "CHALLENGE AVOID"};

bool Listed(std::string_view word) {
    return std::find(std::begin(kNotFoodWords), std::end(kNotFoodWords), word) !=
               std::end(kNotFoodWords) ||
           std::find(std::begin(kChallengeWords), std::end(kChallengeWords), word) !=
               std::end(kChallengeWords);
}

// "1", "21ST", "2ND": a day of the month as a date line writes it.
bool DayNumber(std::string_view word) {
    const std::size_t digits = word.find_first_not_of("0123456789");
    const std::string_view suffix = digits == std::string_view::npos ? "" : word.substr(digits);
    return digits != 0 &&
           (suffix.empty() || suffix == "ST" || suffix == "ND" || suffix == "RD" || suffix == "TH");
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return upper;
}

}  // namespace

bool IsCalendarOrPhrase(std::string_view name) {
    if (Listed(name)) {
        return true;
    }
    // A date line such as "Monday March 1st" reads as one item of calendar words
    // and day numbers; it is no more a food than its words are.
    bool calendar = false;
    std::size_t start = 0;
    while (start < name.size()) {
        const std::size_t end = std::min(name.find(' ', start), name.size());
        const std::string_view word = name.substr(start, end - start);
        if (Listed(word)) {
            calendar = true;
        } else if (!word.empty() && !DayNumber(word)) {
            return false;
        }
        start = end + 1;
    }
    return calendar;
}

std::vector<std::string> ReadNotFoods(const ProfileFile& profile) {
    std::vector<std::string> words;
    for (int key = 1;; ++key) {
        std::string word = profile.ReadString("Not Foods", std::to_string(key), "");
        if (word.empty()) {
            return words;
        }
        words.push_back(std::move(word));
    }
}

NotFoods::NotFoods(std::span<const std::string> userWords, const DiaryEvidence& evidence) {
    for (const std::string& word : userWords) {
        words_.insert(Upper(word));
    }
    for (int s = 1; s <= kSymptomCount; ++s) {
        words_.insert(evidence.SymptomName(s));
    }
}

bool NotFoods::Contains(std::string_view name) const {
    return IsCalendarOrPhrase(name) || words_.count(std::string(name)) != 0;
}

}  // namespace quorvane
