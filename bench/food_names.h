#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "seeded_random.h"

namespace quorvane::bench {

// Upper case, as the reader names items.
std::string Upper(std::string text);

// True when a diary word in upper case would not reach the suspects as a food of
// its own: a symptom name, or a calendar word or fixed phrase in any of its words.
bool ReservedWord(std::string_view upper);

// `count` distinct made-up food names in lower case: letters and single spaces,
// at most 30 letters, none reserved. Made-up so that no name tells the reader of
// a result which food was planted.
std::vector<std::string> MakeFoodNames(Random& random, int count);

// The name with one letter substituted, dropped, added or swapped with its
// neighbour, as a hurried diarist types it; never reserved. It may be another
// food's name, as PEAR is one letter from PEAS.
std::string Misspell(Random& random, const std::string& name);

}  // namespace quorvane::bench
