#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace quorvane {

class DiaryEvidence;
class ProfileFile;

// True for the words a diary holds that are no food: months, weekdays and their
// three-letter forms, the composer's fixed phrases, a planned test's day words, and
// date lines made of them and day numbers. Names are upper case.
bool IsCalendarOrPhrase(std::string_view name);

// The user's words that are no food: the "Not Foods" section, keys 1, 2, ...
// up to the first missing or empty one.
std::vector<std::string> ReadNotFoods(const ProfileFile& profile);

// Every item the suspects leave out of one read: the calendar and phrases, the
// user's words (compared after folding to upper case) and the symptom names.
class NotFoods {
  public:
    NotFoods(std::span<const std::string> userWords, const DiaryEvidence& evidence);
    bool Contains(std::string_view name) const;

  private:
    std::unordered_set<std::string> words_;
};

}  // namespace quorvane
