#pragma once

// The engine's view of one read, shared by its steps: the foods with their days,
// and one symptom's days classified as onsets, later episode days and controls.

#include <array>
#include <cstdint>
#include <deque>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/analysis/item_list.h"
#include "core/evidence/diary_evidence.h"
#include "core/evidence/not_foods.h"
#include "core/evidence/statistics.h"
#include "core/foods/food_groups.h"

namespace quorvane {

// Lags tried per food: 0 earlier the same day, 1 and 2 days before the onset.
inline constexpr int kSuspectLags = 3;

struct Food {
    const TItemNode* Node = nullptr;  // null for a food made of several items
    std::string_view Name;
    // The items that gave a merged food or an ingredient its days, commas
    // between; empty for a food that is one item as written.
    std::string_view FromItems;
    std::span<const uint32_t> Days;
    std::span<const uint16_t> Positions;  // the food's place in each day's items
    std::span<const uint8_t> Helpings;    // 2 on days it was written twice or more
};

// Every food of the read, in item-list order, leaving out `notFoods`.
std::vector<Food> CollectFoods(const DiaryEvidence& evidence,
                               const DiaryEvidence::ItemDayIndex& index, const ItemList& items,
                               const NotFoods& notFoods);

// The days of foods that no single item holds; the foods point into it, so it
// must outlive them. Deques: adding a food never moves another's days.
struct FoodStorage {
    std::deque<std::vector<uint32_t>> Days;
    std::deque<std::vector<uint16_t>> Positions;
    std::deque<std::vector<uint8_t>> Helpings;
    std::deque<std::string> Texts;
};

// The foods as the person means them, in name order: an alias's days join its
// food's, and each ingredient is a food of its own, eaten on every day one of
// its dishes or the ingredient itself was. On a day several items give, the
// food comes at the earliest of their places, with two helpings.
std::vector<Food> CollectFoods(const DiaryEvidence& evidence,
                               const DiaryEvidence::ItemDayIndex& index, const ItemList& items,
                               const NotFoods& notFoods, const FoodGroups& groups,
                               FoodStorage& storage);

enum DayStatus : uint8_t { kControl = 0, kOnset = 1, kInEpisode = 2 };

// One symptom's days: onsets, the later days of each episode (neither case nor
// control), and where in its day each onset came.
struct SymptomDays {
    std::vector<uint8_t> Status;
    std::vector<uint16_t> OnsetPosition;
    std::vector<uint32_t> Onsets;
    int64_t Eligible = 0;  // onsets and controls
};

SymptomDays ClassifyDays(const DiaryEvidence& evidence, int symptom);

// Whether the food's i-th day exposes a case or control day at `lag`, and which.
// On an onset day at lag 0 the food counts only when it came before the onset:
// eaten after it, the onset is an unexposed one. Every table and check uses this.
bool ExposedDay(const Food& food, std::size_t i, int lag, const SymptomDays& days, uint32_t& day);

// The tables of all lags in one walk of the food's days.
std::array<DayTable, kSuspectLags> TablesAt(const Food& food, const SymptomDays& days);

// The table of the days from `from` up to `to` alone, as for a half of the diary.
DayTable StretchTable(const Food& food, int lag, const SymptomDays& days, uint32_t from,
                      uint32_t to);

inline bool BothRows(const DayTable& t) {
    return t.A + t.B > 0 && t.C + t.D > 0;
}

inline int64_t ExposedDays(const DayTable& t) {
    return t.A + t.B;
}

}  // namespace quorvane
