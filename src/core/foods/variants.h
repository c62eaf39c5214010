#pragma once

// Pairs of diary items that are probably one food written two ways. Only ever
// suggested: foods one letter apart are common (PEAR and PEAS, BEEF and BEET),
// and merging them by rule hurt the ranking on simulated diaries.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/foods/food_groups.h"

namespace quorvane {

class DiaryEvidence;
class ItemList;

enum class VariantKind : uint8_t {
    Plural,     // EGG / EGGS, BERRY / BERRIES, TOMATO / TOMATOES
    WordOrder,  // WHITE BREAD / WHITEBREAD, or a rare BREAD WHITE
    Spelling    // one edit apart: RAISIN / RAISEN
};
std::string_view VariantKindName(VariantKind kind);

// A spelling variant needs both names this long in letters: shorter foods one
// edit apart are mostly distinct (HAM / YAM, PEAR / PEAS, BEEF / BEET).
inline constexpr std::size_t kSpellingMinLetters = 5;
// And the usual spelling written at least this many times as often as the other.
// A slip of the pen in one mention of twenty gives about 19; two foods that are
// both eaten rarely reach 8. On the simulator 8 kept precision above 0.9 where
// 4 did not (bench/bench_foods.cpp).
inline constexpr int64_t kSpellingRarity = 8;

// The rules' settings, apart so that the simulator can show what each is worth.
struct VariantRules {
    int64_t Rarity = kSpellingRarity;
    std::size_t MinLetters = kSpellingMinLetters;
    bool UseKnownDistinct = true;
};

struct NamedCount {
    std::string Name;
    int64_t Count = 0;
};

struct VariantSuggestion {
    std::string Rare;    // the name to merge...
    std::string Common;  // ...into this one, the more often written
    int64_t RareCount = 0;
    int64_t CommonCount = 0;
    VariantKind Kind = VariantKind::Spelling;
};

// Pairs of real foods that look like one another's slips: never suggested.
bool KnownDistinct(std::string_view a, std::string_view b);

// The rule that makes two written names one food, if any: the known distinct
// pairs first, then plural, word order, and a rare spelling one edit away.
std::optional<VariantKind> VariantRule(const NamedCount& a, const NamedCount& b,
                                       const VariantRules& rules = {});

// Every suggested pair among `foods`, leaving out pairs the groups already make
// one food and pairs refused; the most written common names first.
std::vector<VariantSuggestion> SuggestVariants(std::span<const NamedCount> foods,
                                               const FoodGroups& groups,
                                               const VariantRules& rules = {});

// The same over the foods of one finished read: items that are no food are left
// out as the suspects leave them; counts are the times each item was written.
std::vector<VariantSuggestion> SuggestVariants(const DiaryEvidence& evidence, const ItemList& items,
                                               std::span<const std::string> notFoods,
                                               const FoodGroups& groups,
                                               const VariantRules& rules = {});

}  // namespace quorvane
